// SPDX-License-Identifier: GPL-3.0-or-later
// The exported functions, driven with the program's two command lines against real files. These run on
// Linux against libunlha32.so and on Windows against UNLHA32.DLL.
#include "codec/lha_header.h"
#include "codec/memory_io.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

namespace fs = std::filesystem;
using lhatest::Bytes;
using lhatest::extractCommand;
using lhatest::packCommand;
using lhatest::unlha;
using lhatest::u8path;
using lhatest::utf8;

constexpr std::int64_t kStamp = 1577934245;   // 2020-01-02 03:04:05 UTC

lha::EntryHeader headerOf(const fs::path& archive)
{
    const Bytes a = lhatest::readFile(archive);
    lha::MemorySource in(a);
    lha::EntryHeader h;
    EXPECT_TRUE(lha::readHeader(in, h));
    return h;
}

class Library : public testing::Test {
protected:
    void TearDown() override { lhatest::library().setMethod(5); }
    lhatest::ScratchDir dir;
};

TEST_F(Library, VersionAndModeSwitches)
{
    EXPECT_EQ(lhatest::library().getVersion(), 100);
    EXPECT_NE(lhatest::library().setBackGroundMode(1), 0);
    EXPECT_NE(lhatest::library().setCursorMode(1), 0);
}

TEST_F(Library, PackAndExtractRelativeNamesKeepTheTime)
{
    lhatest::CurrentDir cd(dir.path());
    const Bytes data = lhatest::textData(150000);
    lhatest::writeFile("notes.txt", data);
    lhatest::setMtime("notes.txt", kStamp);

    std::string msg;
    ASSERT_EQ(unlha(packCommand("notes.txt.LZH", "notes.txt"), &msg), 0) << msg;
    const lha::EntryHeader h = headerOf("notes.txt.LZH");
    EXPECT_EQ(h.name, "notes.txt");
    EXPECT_EQ(h.method, lha::Method::Lh5);
    EXPECT_EQ(h.mtime, kStamp);

    fs::create_directory("restore");
    lhatest::CurrentDir into(dir / "restore");
    ASSERT_EQ(unlha(extractCommand("../notes.txt.LZH", "notes.txt"), &msg), 0) << msg;
    EXPECT_TRUE(lhatest::readFile("notes.txt") == data);
    EXPECT_EQ(lhatest::mtimeOf("notes.txt"), kStamp);
    EXPECT_EQ(lhatest::listDir("."), std::vector<std::string>{"notes.txt"}) << "no temporary files left";
}

TEST_F(Library, AbsolutePathsWithSpacesReplaceExistingArchiveAndTarget)
{
    fs::create_directory(dir / "my files");
    const fs::path src = dir / "my files" / "a b.bin";
    const fs::path arc = dir / "my files" / "a b.bin.LZH";
    const fs::path out = dir / "my files" / "restored copy.bin";
    const Bytes data = lhatest::binaryData(70000);
    lhatest::writeFile(src, data);
    lhatest::writeFile(arc, Bytes(100000, 'o'));   // an older, larger archive
    lhatest::writeFile(out, Bytes(10, 'o'));

    ASSERT_EQ(unlha(packCommand(utf8(arc), utf8(src))), 0);
    EXPECT_EQ(headerOf(arc).name, "a b.bin");
    ASSERT_EQ(unlha(extractCommand(utf8(arc), utf8(out))), 0);
    EXPECT_TRUE(lhatest::readFile(out) == data);
}

TEST_F(Library, EmptyAndLargeFilesThroughFiles)
{
    lhatest::CurrentDir cd(dir.path());
    Bytes big = lhatest::textData(3u << 20);
    const Bytes bin = lhatest::binaryData(2u << 20);
    big.insert(big.end(), bin.begin(), bin.end());
    for (const auto& [name, data] : {std::pair<std::string, Bytes>{"empty", {}}, {"big", big}}) {
        lhatest::writeFile(name, data);
        ASSERT_EQ(unlha(packCommand(name + ".LZH", name)), 0) << name;
        ASSERT_EQ(unlha(extractCommand(name + ".LZH", name + ".out")), 0) << name;
        EXPECT_TRUE(lhatest::readFile(name + ".out") == data) << name;
    }
    EXPECT_EQ(headerOf("empty.LZH").method, lha::Method::Lh0);
}

TEST_F(Library, NamesAsLongAsTheFileSystemAllows)
{
    // On Windows the full paths are then far beyond MAX_PATH as well.
    lhatest::CurrentDir cd(dir.path());
    const std::string src(251, 's');   // + ".LZH" = 255 bytes, the longest name
    const std::string target(255, 't');
    const Bytes data = lhatest::textData(3000);
    lhatest::writeFile(src, data);
    ASSERT_EQ(unlha(packCommand(src + ".LZH", src)), 0);
    EXPECT_EQ(headerOf(src + ".LZH").name, src);
    ASSERT_EQ(unlha(extractCommand(src + ".LZH", target)), 0);
    EXPECT_TRUE(lhatest::readFile(target) == data);
}

TEST_F(Library, MethodSelection)
{
    lhatest::CurrentDir cd(dir.path());
    lhatest::writeFile("t", lhatest::textData(50000));
    const std::pair<int, lha::Method> cases[] = {{6, lha::Method::Lh6}, {7, lha::Method::Lh7}, {5, lha::Method::Lh5}};
    for (const auto& [level, method] : cases) {
        ASSERT_NE(lhatest::library().setMethod(level), 0);
        ASSERT_EQ(unlha(packCommand("t.LZH", "t")), 0);
        EXPECT_EQ(headerOf("t.LZH").method, method);
    }
    for (int bad : {0, 4, 8, -1})
        EXPECT_EQ(lhatest::library().setMethod(bad), 0);
    ASSERT_EQ(unlha(packCommand("t.LZH", "t")), 0);
    EXPECT_EQ(headerOf("t.LZH").method, lha::Method::Lh5) << "refused values leave the method alone";
}

// UTF-8 command lines; the names are stored in Shift-JIS when it can hold them, and unchanged when not.
TEST_F(Library, FileNamesAreStoredInShiftJisOrElseUnchanged)
{
    lhatest::CurrentDir cd(dir.path());
    const std::pair<std::string, std::string> cases[] = {
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE8\xA1\xA8.txt", "\x93\xFA\x96\x7B\x8C\xEA\x95\x5C.txt"},   // 日本語表.txt
        {"\xEF\xBD\xB1\xEF\xBE\x9E.txt", "\xB1\xDE.txt"},                                            // ｱﾞ.txt, half-width
        {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},                                                      // café.txt
        {"\xF0\x9F\x98\x80 \xE6\x97\xA5.txt", "\xF0\x9F\x98\x80 \xE6\x97\xA5.txt"},                  // 😀 日.txt
    };
    for (const auto& [name, stored] : cases) {
        SCOPED_TRACE(name);
        const Bytes data = lhatest::textData(5000 + name.size());
        lhatest::writeFile(u8path(name), data);
        lhatest::setMtime(u8path(name), kStamp);
        std::string msg;
        ASSERT_EQ(unlha(packCommand(name + ".LZH", name), &msg), 0) << msg;
        EXPECT_EQ(headerOf(u8path(name + ".LZH")).name, stored);
        ASSERT_EQ(unlha(extractCommand(name + ".LZH", name + ".out"), &msg), 0) << msg;
        EXPECT_TRUE(lhatest::readFile(u8path(name + ".out")) == data);
        EXPECT_EQ(lhatest::mtimeOf(u8path(name + ".out")), kStamp);
    }
}

TEST_F(Library, FailuresLeaveNothingBehindAndKeepExistingFiles)
{
    lhatest::CurrentDir cd(dir.path());
    lhatest::writeFile("good", lhatest::textData(40000));
    ASSERT_EQ(unlha(packCommand("good.LZH", "good")), 0);
    Bytes damaged = lhatest::readFile("good.LZH");
    damaged[damaged.size() / 2] ^= 0x10;
    lhatest::writeFile("damaged.LZH", damaged);
    Bytes truncated = lhatest::readFile("good.LZH");
    truncated.resize(truncated.size() - 100);
    lhatest::writeFile("truncated.LZH", truncated);
    lhatest::writeFile("keep", Bytes{'k', 'e', 'e', 'p'});
    fs::create_directory("folder");
    const auto before = lhatest::listDir(".");

    std::string msg;
    EXPECT_EQ(unlha(packCommand("missing.LZH", "missing"), &msg), 2) << msg;
    EXPECT_EQ(unlha(packCommand("folder.LZH", "folder"), &msg), 2) << msg;
    EXPECT_EQ(unlha(packCommand("no/such/dir/x.LZH", "good"), &msg), 3) << msg;
    EXPECT_EQ(unlha(extractCommand("missing.LZH", "new"), &msg), 2) << msg;
    EXPECT_EQ(unlha(extractCommand("damaged.LZH", "new"), &msg), 5) << msg;
    EXPECT_EQ(unlha(extractCommand("truncated.LZH", "keep"), &msg), 5) << msg;
    EXPECT_EQ(unlha(extractCommand("good", "new"), &msg), 4) << msg;   // not an archive
    EXPECT_EQ(unlha(extractCommand("good.LZH", "folder"), &msg), 3) << msg;
    EXPECT_EQ(unlha("l \"good.LZH\"", &msg), 1) << msg;

    EXPECT_EQ(lhatest::listDir("."), before);
    EXPECT_TRUE(lhatest::readFile("keep") == (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(Library, FilesOf4GiBAreRefused)
{
    lhatest::CurrentDir cd(dir.path());
    if (!lhatest::makeSparseFile("huge", std::uint64_t{1} << 32))
        GTEST_SKIP() << "the file system cannot hold a sparse 4 GiB file";
    EXPECT_EQ(unlha(packCommand("huge.LZH", "huge")), 7);
    EXPECT_FALSE(fs::exists("huge.LZH"));
}

TEST_F(Library, OutputBufferIsNeverOverrun)
{
    const auto call = lhatest::library().unlha;
    char small[6];
    std::memset(small, 'X', sizeof small);
    EXPECT_NE(call(nullptr, "nonsense", small, 5), 0);
    EXPECT_EQ(small[4], '\0');
    EXPECT_EQ(small[5], 'X');
    EXPECT_NE(call(nullptr, "nonsense", nullptr, 0), 0);
    EXPECT_NE(call(nullptr, nullptr, small, 5), 0);
}

} // namespace
