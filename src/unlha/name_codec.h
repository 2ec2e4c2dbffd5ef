// File names as stored in archives: LHA tools on Japanese systems expect Shift-JIS (CP932).
#pragma once

#include <string>

namespace unlha {

// Converts a host file name to the bytes stored in the archive. On Linux the host name is UTF-8 and is
// converted to CP932; a name that CP932 cannot represent is stored unchanged. On Windows the name is
// already in the ANSI code page and is stored as it is.
std::string hostNameToArchive(const std::string& name);

} // namespace unlha
