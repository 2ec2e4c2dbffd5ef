// SPDX-License-Identifier: GPL-3.0-or-later
// Archives written by the library, read by independent LHA tools; and archives written by jlha, read by
// the library. The tools come from the project's install script; a missing tool skips its cases.
#include "codec/crc16.h"
#include "test_support.h"
#include "unlha32.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using lhatest::Bytes;
using lhatest::runCommand;
using lhatest::shellQuote;

constexpr std::int64_t kStamp = 1420113845;   // 2015-01-01 12:04:05 UTC

struct Sample {
    std::string key;
    std::string name;   // UTF-8 file name
    std::string sjis;   // the same name in Shift-JIS (what byte-passing tools create)
    Bytes data;
};

const std::vector<Sample>& samples()
{
    static const std::vector<Sample> all = [] {
        Bytes big = lhatest::textData(3u << 20);
        const Bytes bin = lhatest::binaryData(1600000);
        big.insert(big.end(), bin.begin(), bin.end());
        Bytes spaces(3000, ' ');
        const Bytes tail = lhatest::textData(20000);
        spaces.insert(spaces.end(), tail.begin(), tail.end());
        const std::string jp = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";   // 日本語.txt
        const std::string jpSjis = "\x93\xFA\x96\x7B\x8C\xEA.txt";
        // 表 is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
        const std::string jp5c = "\xE8\xA1\xA8\xE7\xA4\xBA.txt";   // 表示.txt
        const std::string jp5cSjis = "\x95\x5C\x8E\xA6.txt";
        // 46 + name length bytes of header: a 210-byte name lands exactly on 256 without the extra field.
        const std::string longName = std::string(206, 'n') + ".txt";
        return std::vector<Sample>{
            {"empty", "empty.txt", "empty.txt", {}},
            {"one_byte", "one.bin", "one.bin", {0x5A}},
            {"text", "text.txt", "text.txt", lhatest::textData(200000)},
            {"binary", "data.bin", "data.bin", lhatest::binaryData(300000)},
            {"incompressible", "random.bin", "random.bin", lhatest::randomData(150000)},
            {"leading_spaces", "spaces.txt", "spaces.txt", spaces},
            {"over_4mb", "big.dat", "big.dat", big},
            {"japanese_name", jp, jpSjis, lhatest::textData(30000)},
            {"japanese_backslash_byte", jp5c, jp5cSjis, lhatest::textData(2000)},
            {"header_of_256", longName, longName, lhatest::textData(1000)},
        };
    }();
    return all;
}

// Archives of every sample for every method, made once through the exported Unlha().
class Archives {
public:
    static Archives& get()
    {
        static Archives a;
        return a;
    }
    fs::path archive(int method, const Sample& s) const { return dir_.path() / (std::to_string(method) + "_" + s.key + ".LZH"); }
    const std::string& error() const { return error_; }

private:
    Archives()
    {
        fs::create_directory(dir_ / "src");
        for (const Sample& s : samples()) {
            const fs::path src = dir_ / "src" / s.name;
            lhatest::writeFile(src, s.data);
            ::chmod(src.c_str(), 0640);
            const struct timespec ts[2] = {{kStamp, 0}, {kStamp, 0}};
            ::utimensat(AT_FDCWD, src.c_str(), ts, 0);
            for (int m : {5, 6, 7}) {
                UnlhaSetMethod(m);
                std::string msg;
                if (lhatest::unlha(lhatest::packCommand(archive(m, s).string(), src.string()), &msg) != 0)
                    error_ += s.key + ": " + msg + "\n";
            }
        }
        UnlhaSetMethod(5);
    }
    lhatest::ScratchDir dir_;
    std::string error_;
};

struct Tool {
    const char* name;
    const char* binary;
};

class ReadByTool : public testing::TestWithParam<std::tuple<std::string, int>> {
protected:
    void SetUp() override
    {
        if (!lhatest::toolAvailable(std::get<0>(GetParam())))
            GTEST_SKIP() << std::get<0>(GetParam()) << " is not installed (scripts/install-deps.sh installs it)";
        ASSERT_EQ(Archives::get().error(), "");
    }

    // Checks one file extracted by a tool: contents, modification time, and permissions when the tool
    // applies them.
    static void checkExtracted(const fs::path& file, const Sample& s, bool checkMode)
    {
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_TRUE(lhatest::readFile(file) == s.data) << s.key;
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mtime, kStamp) << s.key;
        if (checkMode) {
            EXPECT_EQ(st.st_mode & 0777, 0640u) << s.key;
        }
    }
};

TEST_P(ReadByTool, ListsTestsAndExtractsEverySample)
{
    const auto& [tool, method] = GetParam();
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.key);
        const std::string arc = shellQuote(Archives::get().archive(method, s).string());
        lhatest::ScratchDir out;
        const std::string outDir = shellQuote(out.path().string());
        std::string text;
        if (tool == "7z") {
            EXPECT_EQ(runCommand("7z t " + arc, &text), 0);
            EXPECT_NE(text.find("Everything is Ok"), std::string::npos) << text;
            EXPECT_EQ(runCommand("7z x -so " + arc, &text), 0);
            EXPECT_TRUE(Bytes(text.begin(), text.end()) == s.data);
            // 7-Zip shows the stored size and CRC; it passes the name bytes through on Linux.
            ASSERT_EQ(runCommand("7z l -slt " + arc, &text), 0);
            const std::uint16_t crc = lha::crc16(s.data.data(), s.data.size());
            char crcText[32];
            std::snprintf(crcText, sizeof crcText, "CRC = %08X", crc);
            EXPECT_NE(text.find("\nSize = " + std::to_string(s.data.size()) + "\n"), std::string::npos) << text;
            if (!s.data.empty()) {
                EXPECT_NE(text.find(crcText), std::string::npos) << text;
            }
            EXPECT_EQ(runCommand("7z x -y -o" + outDir + " " + arc), 0);
            if (s.sjis.find('\\') == std::string::npos) {
                checkExtracted(out.path() / s.sjis, s, false);
            } else {
                // 7-Zip on Linux takes the 0x5C trail byte of a Shift-JIS character for a path separator;
                // the file is still there, one directory down.
                std::vector<fs::path> files;
                for (const auto& e : fs::recursive_directory_iterator(out.path()))
                    if (e.is_regular_file())
                        files.push_back(e.path());
                ASSERT_EQ(files.size(), 1u);
                checkExtracted(files[0], s, false);
            }
        } else if (tool == "bsdtar") {
            const std::string opts = " --options lha:hdrcharset=CP932 ";
            EXPECT_EQ(runCommand("bsdtar" + opts + "-xOf " + arc, &text), 0);
            EXPECT_TRUE(Bytes(text.begin(), text.end()) == s.data);
            EXPECT_EQ(runCommand("bsdtar" + opts + "-xpf " + arc + " -C " + outDir), 0);
            checkExtracted(out.path() / s.name, s, true);
        } else if (tool == "lhasa") {
            EXPECT_EQ(runCommand("lhasa t " + arc, &text), 0);
            EXPECT_EQ(runCommand("lhasa -pq " + arc, &text), 0);
            EXPECT_TRUE(Bytes(text.begin(), text.end()) == s.data);
            EXPECT_EQ(runCommand("cd " + outDir + " && lhasa -xfq " + arc), 0);
            checkExtracted(out.path() / s.sjis, s, true);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ReadByTool,
                         testing::Combine(testing::Values("7z", "bsdtar", "lhasa"), testing::Values(5, 6, 7)),
                         [](const auto& info) {
                             return std::get<0>(info.param) + "_lh" + std::to_string(std::get<1>(info.param));
                         });

// jlha (Debian's /usr/bin/lha) writes the archives; the library unpacks them.
class WrittenByJlha : public testing::TestWithParam<std::tuple<int, int>> {};

bool jlhaAvailable()
{
    std::string text;
    runCommand("lha 2>&1", &text);
    return text.find("jLHA") != std::string::npos || text.find("JLHA") != std::string::npos;
}

TEST_P(WrittenByJlha, ExtractsByteForByteWithItsDate)
{
    if (!jlhaAvailable())
        GTEST_SKIP() << "jlha (package jlha-utils) is not installed";
    const auto [method, level] = GetParam();
    lhatest::ScratchDir dir;
    lhatest::CurrentDir cd(dir.path());
    Bytes data = lhatest::textData(150000);
    const Bytes bin = lhatest::binaryData(120000);
    data.insert(data.end(), bin.begin(), bin.end());
    data.insert(data.end(), data.begin(), data.begin() + 50000);   // a repeat about 270 KB back
    lhatest::writeFile("input.dat", data);
    const struct timespec ts[2] = {{kStamp, 0}, {kStamp, 0}};
    ::utimensat(AT_FDCWD, "input.dat", ts, 0);

    const std::string cmd = "lha a" + std::to_string(level) + "o" + std::to_string(method) + "q jlha.lzh input.dat";
    ASSERT_EQ(runCommand(cmd), 0) << cmd;
    const Bytes arc = lhatest::readFile("jlha.lzh");
    ASSERT_GT(arc.size(), 22u);
    ASSERT_EQ(std::string(arc.begin() + 2, arc.begin() + 7), "-lh" + std::to_string(method) + "-");
    ASSERT_EQ(arc[20], level);

    std::string msg;
    ASSERT_EQ(lhatest::unlha(lhatest::extractCommand("jlha.lzh", "output.dat"), &msg), 0) << msg;
    EXPECT_TRUE(lhatest::readFile("output.dat") == data);
    struct stat st {};
    ASSERT_EQ(::stat("output.dat", &st), 0);
    // Levels 0 and 1 keep MS-DOS time, which has a 2-second resolution.
    EXPECT_NEAR(static_cast<double>(st.st_mtime), static_cast<double>(kStamp), level == 2 ? 0 : 2);
}

INSTANTIATE_TEST_SUITE_P(MethodsAndLevels, WrittenByJlha,
                         testing::Combine(testing::Values(5, 6, 7), testing::Values(0, 1, 2)),
                         [](const auto& info) {
                             return "lh" + std::to_string(std::get<0>(info.param)) + "_level"
                                    + std::to_string(std::get<1>(info.param));
                         });

TEST(WrittenByJlhaEdge, EmptyAndOneByteFiles)
{
    if (!jlhaAvailable())
        GTEST_SKIP() << "jlha (package jlha-utils) is not installed";
    lhatest::ScratchDir dir;
    lhatest::CurrentDir cd(dir.path());
    for (const auto& [name, data] : {std::pair<std::string, Bytes>{"e", {}}, {"o", {'!'}}}) {
        lhatest::writeFile(name, data);
        ASSERT_EQ(runCommand("lha ao5q " + name + ".lzh " + name), 0);
        ASSERT_EQ(lhatest::unlha(lhatest::extractCommand(name + ".lzh", name + ".out")), 0) << name;
        EXPECT_TRUE(lhatest::readFile(name + ".out") == data) << name;
    }
}

} // namespace
