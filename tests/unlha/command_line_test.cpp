// SPDX-License-Identifier: GPL-3.0-or-later
// The two command lines the program sends, and the many near misses that must be refused.
#include "codec/command_line.h"

#include <gtest/gtest.h>

namespace {

using lha::Command;
using lha::parseCommandLine;

TEST(CommandLine, PackLineWithPlainAndSpacedPaths)
{
    auto c = parseCommandLine(R"(a -n -a1 -jss -jyko -gm1 "A.TXT.LZH" "/home/u/My Documents/a b.txt")");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->kind, Command::Kind::Add);
    EXPECT_EQ(c->archive, "A.TXT.LZH");
    EXPECT_EQ(c->file, "/home/u/My Documents/a b.txt");
}

TEST(CommandLine, ExtractLineWithRelativeTargetAndJapaneseName)
{
    auto c = parseCommandLine("e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 \"/b/Drive_C/\xE8\xA1\xA8.txt.LZH\" \"\xE8\xA1\xA8.txt\"");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->kind, Command::Kind::Extract);
    EXPECT_EQ(c->archive, "/b/Drive_C/\xE8\xA1\xA8.txt.LZH");
    EXPECT_EQ(c->file, "\xE8\xA1\xA8.txt");
}

TEST(CommandLine, ToleratesExtraBlanksAndSwitchCase)
{
    EXPECT_TRUE(parseCommandLine("  A  -N -A1\t-JSS -jyko -GM1   \"x.lzh\"  \"x\"  "));
}

TEST(CommandLine, RefusesEverythingElse)
{
    const char* bad[] = {
        "",
        "a",
        R"(x -n -a1 -jss -jyko -gm1 "a.lzh" "a")",                  // unknown command
        R"(a -n -a1 -jss -jyko "a.lzh" "a")",                       // switch missing
        R"(a -n -a1 -jss -jyko -gm1 -r "a.lzh" "a")",               // extra switch
        R"(a -a1 -n -jss -jyko -gm1 "a.lzh" "a")",                  // switches out of order
        R"(a -n -a1 -jss -jyko -gm1 "a.lzh")",                      // one path only
        R"(a -n -a1 -jss -jyko -gm1 "a.lzh" "a" "b")",              // three paths
        R"(a -n -a1 -jss -jyko -gm1 a.lzh a)",                      // paths not quoted
        R"(a -n -a1 -jss -jyko -gm1 "a.lzh" "")",                   // empty path
        R"(a -n -a1 -jss -jyko -gm1 "a.lzh" "a)",                   // unterminated quote
        R"(a -n -a1 -jss -jyko -gm1 "a.lzh""a")",                   // no blank between paths
        R"(a -n -a1 -jss -jyko -gm1 "a.lzh" x"a")",                 // quote inside a word
        R"(e -n -a1 -jss -jyko -gm1 "a.lzh" "a")",                  // pack switches with extract
        R"(a -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 "a.lzh" "a")",      // extract switches with pack
        R"("a" -n -a1 -jss -jyko -gm1 "a.lzh" "a")",                // quoted command
    };
    for (const char* line : bad)
        EXPECT_FALSE(parseCommandLine(line)) << line;
}

} // namespace
