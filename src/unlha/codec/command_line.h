// SPDX-License-Identifier: GPL-3.0-or-later
// The two command lines the archiver understands:
//   a -n -a1 -jss -jyko -gm1 "ARCHIVE" "SOURCE"            pack one file into a new archive
//   e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 "ARCHIVE" "TARGET" unpack the archive's file to TARGET
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lha {

struct Command {
    enum class Kind { Add, Extract };
    Kind kind = Kind::Add;
    std::string archive;
    std::string file;   // source (Add) or target (Extract)
};

// Returns nothing for any other command line. Switches compare without regard to letter case; both paths
// must be in double quotes and non-empty.
std::optional<Command> parseCommandLine(std::string_view line);

} // namespace lha
