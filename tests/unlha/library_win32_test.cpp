// SPDX-License-Identifier: GPL-3.0-or-later
// What only UNLHA32.DLL does: command lines in the ANSI code page, the read-only attribute, long paths,
// and the ways Windows refuses a file that Linux would not.
#include "codec/lha_archive.h"
#include "codec/lha_header.h"
#include "codec/memory_io.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

namespace fs = std::filesystem;
using lhatest::Bytes;
using lhatest::extractCommand;
using lhatest::packCommand;
using lhatest::unlha;
using lhatest::utf8;

constexpr std::int64_t kStamp = 1420113845;   // 2015-01-01 12:04:05 UTC

lha::EntryHeader headerOf(const fs::path& archive)
{
    const Bytes a = lhatest::readFile(archive);
    lha::MemorySource in(a);
    lha::EntryHeader h;
    EXPECT_TRUE(lha::readHeader(in, h));
    return h;
}

DWORD attributesOf(const fs::path& p)
{
    return ::GetFileAttributesW(p.c_str());
}

bool readOnly(const fs::path& p)
{
    const DWORD a = attributesOf(p);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

// Text in the ANSI code page, as the program's toLocal8Bit() produces it; empty when the code page
// cannot hold it exactly.
std::string ansi(const std::wstring& w)
{
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), nullptr,
                                        0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return {};
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                          &lossy);
    return s;
}

std::wstring decode(const std::string& s, UINT codePage)
{
    const int n = ::MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

bool validUtf8(const std::string& s)
{
    return s.empty()
           || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0) > 0;
}

class Win32Library : public testing::Test {
protected:
    lhatest::ScratchDir dir;
};

TEST_F(Win32Library, AnsiCommandLinesAsTheProgramSendsThem)
{
    // A name the code page holds and whose ANSI bytes are not UTF-8. On Japanese Windows it is 表示
    // (0x95 0x5C 0x8E 0xA6): the backslash trail byte must not be taken for a directory separator.
    const std::pair<std::wstring, std::string> candidates[] = {
        {L"\u8868\u793A.txt", "\x95\x5C\x8E\xA6.txt"},
        {L"caf\u00E9.txt", "caf\xC3\xA9.txt"},   // é: not in Shift-JIS, stored as UTF-8
    };
    const std::pair<std::wstring, std::string>* chosen = nullptr;
    std::string line;
    for (const auto& c : candidates) {
        line = ansi(c.first);
        if (!line.empty() && !validUtf8(line)) {
            chosen = &c;
            break;
        }
    }
    if (!chosen)
        GTEST_SKIP() << "no sample name for code page " << ::GetACP();
    const auto& [wide, stored] = *chosen;
    SCOPED_TRACE("code page " + std::to_string(::GetACP()));

    lhatest::CurrentDir cd(dir.path());
    const Bytes data = lhatest::textData(8000);
    lhatest::writeFile(fs::path(wide), data);
    lhatest::setMtime(fs::path(wide), kStamp);
    std::string msg;
    // The source as a full path in ANSI: the archive lands in the current directory under the same name.
    const std::string source = ansi((dir.path() / wide).wstring());
    ASSERT_FALSE(source.empty());
    ASSERT_EQ(unlha(packCommand(line + ".LZH", source), &msg), 0) << msg;
    ASSERT_TRUE(fs::exists(fs::path(wide + L".LZH")));
    EXPECT_EQ(headerOf(fs::path(wide + L".LZH")).name, stored);

    fs::create_directory("out");
    lhatest::CurrentDir into(dir / "out");
    ASSERT_EQ(unlha(extractCommand("..\\" + line + ".LZH", line), &msg), 0) << msg;
    EXPECT_TRUE(lhatest::readFile(fs::path(wide)) == data);
    EXPECT_EQ(lhatest::mtimeOf(fs::path(wide)), kStamp);
    EXPECT_EQ(lhatest::listDir("."), std::vector<std::string>{utf8(fs::path(wide))});
}

// Bytes that are valid UTF-8 and read differently in the ANSI code page: the file that exists decides,
// and when both exist the program's own encoding (ANSI) wins.
TEST_F(Win32Library, LineValidInBothEncodingsFollowsTheExistingFile)
{
    std::string bytes;
    if (::GetACP() == 932)
        bytes = "\xC3\xBD";   // ﾃｽ (half-width katakana) in CP932, ý in UTF-8
    else if (::GetACP() == 1252)
        bytes = "\xC3\xA9";   // Ã© in 1252, é in UTF-8
    else
        GTEST_SKIP() << "no sample for code page " << ::GetACP();
    const std::string name = "n" + bytes + ".txt";
    const fs::path asAnsi(decode(name, CP_ACP));
    const fs::path asUtf8(decode(name, CP_UTF8));
    ASSERT_NE(asAnsi, asUtf8);

    lhatest::CurrentDir cd(dir.path());
    const Bytes ansiData{'a'}, utf8Data{'u', '8'};
    struct Case {
        bool ansiExists, utf8Exists;
        const Bytes* expected;
    };
    for (const Case c : {Case{true, false, &ansiData}, Case{false, true, &utf8Data}, Case{true, true, &ansiData}}) {
        SCOPED_TRACE(std::to_string(c.ansiExists) + std::to_string(c.utf8Exists));
        std::error_code ec;
        fs::remove(asAnsi, ec);
        fs::remove(asUtf8, ec);
        if (c.ansiExists)
            lhatest::writeFile(asAnsi, ansiData);
        if (c.utf8Exists)
            lhatest::writeFile(asUtf8, utf8Data);
        std::string msg;
        ASSERT_EQ(unlha(packCommand("x.LZH", name), &msg), 0) << msg;
        EXPECT_TRUE(lhatest::unpackFromMemory(lhatest::readFile("x.LZH")) == *c.expected);
    }
}

TEST_F(Win32Library, ReadOnlyAttributeTravelsWithTheFileAndTheTargetIsStillReplaced)
{
    lhatest::CurrentDir cd(dir.path());
    const Bytes data = lhatest::textData(20000);
    lhatest::writeFile("ro.txt", data);
    ASSERT_TRUE(::SetFileAttributesW(L"ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(unlha(packCommand("ro.txt.LZH", "ro.txt")), 0);
    const lha::EntryHeader h = headerOf("ro.txt.LZH");
    EXPECT_EQ(h.osId, 'W');
    EXPECT_FALSE(h.unixMode.has_value());
    ASSERT_TRUE(h.dosAttributes.has_value());
    EXPECT_EQ(*h.dosAttributes & 0x21, 0x21);
    EXPECT_FALSE(readOnly("ro.txt.LZH")) << "the archive itself is an ordinary file";

    // Twice: the second time over the read-only file the first left, which Linux would replace too.
    for (int round = 0; round < 2; ++round) {
        std::string msg;
        ASSERT_EQ(unlha(extractCommand("ro.txt.LZH", "copy.txt"), &msg), 0) << msg;
        EXPECT_TRUE(readOnly("copy.txt"));
        EXPECT_TRUE(lhatest::readFile("copy.txt") == data);
    }
    EXPECT_EQ(lhatest::listDir("."), (std::vector<std::string>{"copy.txt", "ro.txt", "ro.txt.LZH"}));
}

TEST_F(Win32Library, ReadOnlyComesFromTheUnixModeWhenThereIsOneAndFromTheAttributesOtherwise)
{
    lhatest::CurrentDir cd(dir.path());
    struct Case {
        std::optional<std::uint16_t> mode;
        std::optional<std::uint8_t> attributes;
        bool readOnly;
    };
    const Case cases[] = {
        {0100444, std::nullopt, true},   {0100644, std::nullopt, false}, {0100644, 0x21, false},
        {0100440, 0x20, true},           {std::nullopt, 0x21, true},     {std::nullopt, 0x20, false},
        {std::nullopt, std::nullopt, false},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i);
        const Bytes data = lhatest::textData(1000 + static_cast<std::size_t>(i));
        lha::MemorySource src(data);
        lha::MemoryTarget out;
        lha::PackInfo info;
        info.name = "f";
        info.mtime = kStamp;
        info.unixMode = c.mode;
        info.dosAttributes = c.attributes;
        lha::writeArchive(src, out, info, lha::Method::Lh5);
        lhatest::writeFile("f.LZH", out.data);
        const std::string target = "f" + std::to_string(i++);
        ASSERT_EQ(unlha(extractCommand("f.LZH", target)), 0);
        EXPECT_EQ(readOnly(target), c.readOnly);
        EXPECT_EQ(lhatest::mtimeOf(target), kStamp);
    }
}

TEST_F(Win32Library, AbsolutePathsBeyondMaxPath)
{
    fs::path deep = dir.path();
    while (deep.wstring().size() < 400)
        deep /= std::wstring(60, L'd');
    fs::create_directories(deep);
    const fs::path src = deep / L"\u65E5\u672C.bin";   // 日本.bin
    const Bytes data = lhatest::binaryData(30000);
    lhatest::writeFile(src, data);
    std::string msg;
    ASSERT_EQ(unlha(packCommand(utf8(deep / L"a.LZH"), utf8(src)), &msg), 0) << msg;
    ASSERT_EQ(unlha(extractCommand(utf8(deep / L"a.LZH"), utf8(deep / L"b.bin")), &msg), 0) << msg;
    EXPECT_TRUE(lhatest::readFile(deep / L"b.bin") == data);
    // Forward slashes work as well as backslashes.
    std::string slashed = utf8(deep / L"a.LZH");
    for (char& ch : slashed)
        if (ch == '\\')
            ch = '/';
    ASSERT_EQ(unlha(extractCommand(slashed, utf8(deep / L"c.bin")), &msg), 0) << msg;
    EXPECT_TRUE(lhatest::readFile(deep / L"c.bin") == data);
}

// Another program holds the file without sharing it: reading, or replacing the target, fails cleanly.
TEST_F(Win32Library, FilesHeldByAnotherProgram)
{
    lhatest::CurrentDir cd(dir.path());
    const Bytes data = lhatest::textData(5000);
    lhatest::writeFile("src", data);
    ASSERT_EQ(unlha(packCommand("src.LZH", "src")), 0);
    lhatest::writeFile("target", Bytes{'o', 'l', 'd'});
    const auto before = lhatest::listDir(".");

    for (const wchar_t* held : {L"src", L"target"}) {
        const HANDLE h = ::CreateFileW(held, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        std::string msg;
        if (held == std::wstring(L"src"))
            EXPECT_EQ(unlha(packCommand("other.LZH", "src"), &msg), 2) << msg;
        else
            EXPECT_EQ(unlha(extractCommand("src.LZH", "target"), &msg), 3) << msg;
        ::CloseHandle(h);
    }
    EXPECT_EQ(lhatest::listDir("."), before);
    EXPECT_TRUE(lhatest::readFile("target") == (Bytes{'o', 'l', 'd'}));
}

TEST_F(Win32Library, DevicesAreNotFiles)
{
    lhatest::CurrentDir cd(dir.path());
    std::string msg;
    EXPECT_EQ(unlha(packCommand("device.LZH", "NUL"), &msg), 2) << msg;
    EXPECT_EQ(unlha(packCommand("device.LZH", "\\\\.\\NUL"), &msg), 2) << msg;
    EXPECT_TRUE(lhatest::listDir(".").empty());
}

} // namespace
