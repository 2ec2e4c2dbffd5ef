// SPDX-License-Identifier: GPL-3.0-or-later
// Header layout as strict readers demand it, and reading the older header levels other tools write.
#include "codec/crc16.h"
#include "codec/lha_archive.h"
#include "codec/lha_header.h"
#include "codec/memory_io.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>

namespace {

using lha::Method;
using lhatest::Bytes;

#ifdef _WIN32
constexpr char kHostOs = 'W';
#else
constexpr char kHostOs = 'U';
#endif

std::uint16_t u16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16); }

TEST(Level2Header, FixedFieldsAndExtensionsAsWritten)
{
    const Bytes data = lhatest::textData(20000);
    const Bytes a = lhatest::packToMemory(data, Method::Lh5, "report.txt", 1234567890);
    const std::size_t size = u16(a, 0);
    EXPECT_EQ(std::string(a.begin() + 2, a.begin() + 7), "-lh5-");
    EXPECT_EQ(u32(a, 11), data.size());
    EXPECT_EQ(u32(a, 15), 1234567890u);
    EXPECT_EQ(a[19], 0x20);
    EXPECT_EQ(a[20], 2);
    EXPECT_EQ(u16(a, 21), lha::crc16(data.data(), data.size()));
    EXPECT_EQ(a[23], kHostOs);
    EXPECT_EQ(u32(a, 7), a.size() - size - 1) << "packed size is exact";

    // Walk the extensions: a header CRC first, the name, the Unix mode; the chain ends inside the header.
    std::size_t off = 24, next = u16(a, off);
    off += 2;
    bool sawCrc = false, sawName = false, sawMode = false;
    while (next) {
        ASSERT_LE(off + next, size);
        const std::uint8_t type = a[off];
        if (type == 0x00) {
            sawCrc = true;
            Bytes copy(a.begin(), a.begin() + static_cast<long>(size));
            const std::uint16_t stored = u16(copy, off + 1);
            copy[off + 1] = copy[off + 2] = 0;
            EXPECT_EQ(stored, lha::crc16(copy.data(), copy.size()));
        } else if (type == 0x01) {
            sawName = true;
            EXPECT_EQ(std::string(a.begin() + static_cast<long>(off) + 1, a.begin() + static_cast<long>(off + next) - 2), "report.txt");
        } else if (type == 0x50) {
            sawMode = true;
            EXPECT_EQ(u16(a, off + 1), 0100644);
        }
        const std::size_t n = next;
        next = u16(a, off + n - 2);
        off += n;
    }
    EXPECT_EQ(off, size);
    EXPECT_TRUE(sawCrc && sawName && sawMode);
}

// Every combination the two hosts write: Unix mode (Linux), DOS attributes (Windows), both, neither.
TEST(Level2Header, SizeIsNeverAMultipleOf256AndStillReadsBack)
{
    struct Access {
        std::optional<std::uint16_t> mode;
        std::optional<std::uint8_t> attributes;
    };
    for (const Access& access : {Access{0100600, std::nullopt}, Access{std::nullopt, 0x21}, Access{0100600, 0x01},
                                 Access{std::nullopt, std::nullopt}}) {
        for (std::size_t n = 1; n <= 600; ++n) {
            lha::EntryHeader h;
            h.name = std::string(n, 'n');
            h.unixMode = access.mode;
            h.dosAttributes = access.attributes;
            const Bytes b = lha::buildLevel2Header(h);
            ASSERT_NE(b.size() % 256, 0u) << "name length " << n;
            ASSERT_EQ(u16(b, 0), b.size());
            ASSERT_EQ(b[19], 0x20) << "byte 19 stays 0x20 whatever the attributes";
            Bytes withEnd = b;
            withEnd.push_back(0);
            lha::MemorySource in(withEnd);
            lha::EntryHeader back;
            ASSERT_TRUE(lha::readHeader(in, back)) << n;
            ASSERT_EQ(back.name, h.name);
            ASSERT_EQ(back.unixMode, h.unixMode);
            if (h.dosAttributes) {
                ASSERT_EQ(back.dosAttributes, h.dosAttributes) << n;
            }
        }
    }
}

TEST(Level2Header, DosAttributesTravelInTheirExtension)
{
    lha::EntryHeader h;
    h.name = "ro.txt";
    h.dosAttributes = 0x21;
    const Bytes b = lha::buildLevel2Header(h);
    // Base header, then CRC (5 bytes), name (3 + 6), attributes (3 + 2).
    ASSERT_EQ(b.size(), 26u + 5 + 9 + 5);
    EXPECT_EQ(u16(b, 38), 5u);
    EXPECT_EQ(b[40], 0x40);
    EXPECT_EQ(u16(b, 41), 0x21u);
    EXPECT_EQ(u16(b, 43), 0u) << "the last extension";
}

// --- Older header levels, built by hand the way DOS-era and Unix tools write them. ---

std::uint32_t dosTime(int y, int mo, int d, int h, int mi, int s)
{
    return static_cast<std::uint32_t>(((y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5) | (s / 2));
}

void put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v);
    put16(b, v >> 16);
}

struct Ext {
    std::uint8_t type;
    Bytes payload;
};

// Level 0 or 1 entry around `payload` (already packed with `method`). Level 1 extensions count towards
// the packed size, as the format has it.
Bytes oldLevelEntry(int level, const char* method, const std::string& path, const Bytes& payload,
                    std::size_t originalSize, std::uint16_t crc, const std::vector<Ext>& exts = {},
                    std::uint8_t attribute = 0x20)
{
    Bytes ext;
    for (std::size_t i = 0; i < exts.size(); ++i) {
        ext.push_back(exts[i].type);
        ext.insert(ext.end(), exts[i].payload.begin(), exts[i].payload.end());
        put16(ext, i + 1 < exts.size() ? static_cast<std::uint32_t>(3 + exts[i + 1].payload.size()) : 0);
    }
    Bytes h;
    h.push_back(0);   // size, filled below
    h.push_back(0);   // checksum, filled below
    for (int i = 0; i < 5; ++i) h.push_back(static_cast<std::uint8_t>(method[i]));  // gcc 12 misreads insert() here
    put32(h, static_cast<std::uint32_t>(payload.size() + ext.size()));
    put32(h, static_cast<std::uint32_t>(originalSize));
    put32(h, dosTime(2001, 2, 3, 4, 5, 6));
    h.push_back(attribute);
    h.push_back(static_cast<std::uint8_t>(level));
    h.push_back(static_cast<std::uint8_t>(path.size()));
    h.insert(h.end(), path.begin(), path.end());
    put16(h, crc);
    if (level == 1) {
        h.push_back('M');
        put16(h, exts.empty() ? 0 : static_cast<std::uint32_t>(3 + exts[0].payload.size()));
    }
    h[0] = static_cast<std::uint8_t>(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i)
        sum += h[i];
    h[1] = static_cast<std::uint8_t>(sum);
    h.insert(h.end(), ext.begin(), ext.end());
    h.insert(h.end(), payload.begin(), payload.end());
    return h;
}

// The packed data our own packer produces for `data`, without its header.
Bytes packedStream(const Bytes& data, Method m)
{
    const Bytes a = lhatest::packToMemory(data, m);
    const std::size_t hs = u16(a, 0);
    return Bytes(a.begin() + static_cast<long>(hs), a.end() - 1);
}

std::int64_t localTime(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

TEST(OlderLevels, Level0StoredAndPackedEntriesWithDosPathAndLocalTime)
{
    const Bytes data = lhatest::textData(30000);
    const std::uint16_t crc = lha::crc16(data.data(), data.size());
    for (const bool packed : {false, true}) {
        const Bytes payload = packed ? packedStream(data, Method::Lh5) : data;
        Bytes a = oldLevelEntry(0, packed ? "-lh5-" : "-lh0-", "DIR\\FILE.TXT", payload, data.size(), crc);
        a.push_back(0);
        lha::MemorySource in(a);
        lha::EntryHeader h;
        ASSERT_TRUE(lha::readHeader(in, h));
        EXPECT_EQ(h.level, 0u);
        EXPECT_EQ(h.name, "FILE.TXT");
        EXPECT_EQ(h.directory, "DIR");
        EXPECT_EQ(h.mtime, localTime(2001, 2, 3, 4, 5, 6));
        EXPECT_FALSE(h.unixMode.has_value());
        EXPECT_TRUE(lhatest::unpackFromMemory(a) == data);
    }
}

TEST(OlderLevels, Level1ExtensionsOverrideNameTimeAndModeAndAreNotData)
{
    const Bytes data = lhatest::binaryData(50000);
    const std::uint16_t crc = lha::crc16(data.data(), data.size());
    const Bytes payload = packedStream(data, Method::Lh7);
    std::vector<Ext> exts = {
        {0x01, Bytes{'l', 'o', 'n', 'g', '-', 'n', 'a', 'm', 'e'}},
        {0x54, Bytes{0xD2, 0x02, 0x96, 0x49}},   // 1234567890
        {0x50, Bytes{0xED, 0x81}},               // 0100755
        {0x7E, Bytes(40, 0xAB)},                 // unknown: skipped
    };
    const Bytes a = oldLevelEntry(1, "-lh7-", "SHORT", payload, data.size(), crc, exts);
    lha::MemorySource in(a);
    lha::EntryHeader h;
    ASSERT_TRUE(lha::readHeader(in, h));
    EXPECT_EQ(h.level, 1u);
    EXPECT_EQ(h.name, "long-name");
    EXPECT_EQ(h.mtime, 1234567890);
    EXPECT_EQ(h.unixMode, 0100755);
    EXPECT_EQ(h.packedSize, payload.size());
    // The archive ends without the 0 byte: readers accept the end of the file as the end of the archive.
    EXPECT_TRUE(lhatest::unpackFromMemory(a) == data);
}

TEST(OlderLevels, TheAttributeByteIsReadAsDosAttributes)
{
    const Bytes data{'r', 'o'};
    for (const int level : {0, 1}) {
        const Bytes a = oldLevelEntry(level, "-lh0-", "RO.TXT", data, data.size(), lha::crc16(data.data(), 2), {}, 0x21);
        lha::MemorySource in(a);
        lha::EntryHeader h;
        ASSERT_TRUE(lha::readHeader(in, h));
        EXPECT_EQ(h.dosAttributes, 0x21) << "level " << level;
    }
}

TEST(OlderLevels, DirectoryEntriesBeforeTheFileAreSkipped)
{
    const Bytes data = lhatest::textData(1000);
    Bytes a = oldLevelEntry(1, "-lhd-", "SUB\\", {}, 0, 0);
    const Bytes file = oldLevelEntry(0, "-lh0-", "SUB\\A.TXT", data, data.size(), lha::crc16(data.data(), data.size()));
    a.insert(a.end(), file.begin(), file.end());
    EXPECT_TRUE(lhatest::unpackFromMemory(a) == data);
}

TEST(OlderLevels, ShiftJisNameWithBackslashTrailByteIsNotSplit)
{
    // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
    const std::string name = "\x95\x5C.txt";
    const Bytes data{'x'};
    Bytes a = oldLevelEntry(0, "-lh0-", name, data, 1, lha::crc16(data.data(), 1));
    lha::MemorySource in(a);
    lha::EntryHeader h;
    ASSERT_TRUE(lha::readHeader(in, h));
    EXPECT_EQ(h.name, name);
    EXPECT_EQ(h.directory, "");
}

} // namespace
