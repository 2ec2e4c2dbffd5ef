// SPDX-License-Identifier: GPL-3.0-or-later
// Text at the library's edges: paths arriving in a command line, and file names as stored in archives.
//
// Inside the library a path is "internal text": on Linux the caller's bytes (UTF-8 on any current system),
// on Windows always UTF-8, turned into UTF-16 only at the wide-character system calls. Names stored in
// archives are CP932 (Shift-JIS), which LHA tools on Japanese systems expect, on both platforms alike.
#pragma once

#include "codec/command_line.h"

#include <string>

namespace unlha {

// Converts a file's own name (internal text) to the bytes stored in the archive: CP932 when CP932 can hold
// every character, otherwise the name unchanged (its UTF-8 bytes), so nothing is lost or guessed.
std::string hostNameToArchive(const std::string& name);

// How the caller's command line was encoded; decided once per call.
//
// Linux: paths are taken as bytes, nothing is converted.
// Windows: the program passes its command line in the ANSI code page, but UTF-8 is accepted too. A line
// that is not valid UTF-8 is ANSI. A line that reads differently as UTF-8 and as ANSI (for example
// half-width katakana pairs in CP932, which can form valid UTF-8) is taken as UTF-8 only when the file to
// be read exists under that reading and not under the ANSI one; otherwise it is ANSI.
class CallerText {
public:
    CallerText() = default;   // nothing read yet: messages go out as in the host's usual encoding
    // Decides the encoding and rewrites the command's paths to internal text.
    explicit CallerText(lha::Command& cmd);
    // Converts a message in internal text back into the caller's encoding.
    std::string toCaller(const std::string& message) const;

private:
    unsigned codePage_ = 0;   // Windows: the code page the line was read in
};

} // namespace unlha
