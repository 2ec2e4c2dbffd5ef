// SPDX-License-Identifier: GPL-3.0-or-later
// Checksums and Huffman code construction: the parts whose faults would silently corrupt every archive.
#include "codec/crc16.h"
#include "codec/huffman.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>
#include <vector>

namespace {

std::uint16_t crcOf(const std::string& s)
{
    return lha::crc16(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(Crc16, KnownAnswers)
{
    EXPECT_EQ(crcOf("123456789"), 0xBB3D);
    EXPECT_EQ(crcOf(""), 0x0000);
    EXPECT_EQ(crcOf("A"), 0x30C0);
}

TEST(Crc16, IncrementalUpdateMatchesOneShotAcrossTableBoundaries)
{
    std::vector<std::uint8_t> data(1000);
    std::mt19937 rng(3);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(rng());
    const std::uint16_t whole = lha::crc16(data.data(), data.size());
    // Split at every offset of the first 17 bytes, so that both the 8-byte path and the tail are hit.
    for (std::size_t cut = 0; cut < 17; ++cut) {
        std::uint16_t c = lha::crc16Update(0, data.data(), cut);
        c = lha::crc16Update(c, data.data() + cut, data.size() - cut);
        EXPECT_EQ(c, whole) << "cut at " << cut;
    }
}

// Kraft sum of a code in units of 2^-16.
std::uint32_t kraft(const std::vector<std::uint8_t>& len)
{
    std::uint32_t k = 0;
    for (auto l : len)
        if (l)
            k += 1u << (16 - l);
    return k;
}

TEST(HuffmanLengths, CompleteAndLimitedEvenForSkewedFrequencies)
{
    // Fibonacci frequencies produce the deepest possible trees (about 25 levels for 510 symbols).
    std::vector<std::uint32_t> freq(510, 0);
    std::uint32_t a = 1, b = 1;
    for (unsigned i = 0; i < 30; ++i) {
        freq[i * 17] = a;
        const std::uint32_t c = a + b;
        a = b;
        b = c;
    }
    std::vector<std::uint8_t> len(510);
    unsigned single = 0;
    EXPECT_EQ(lha::buildCodeLengths(freq.data(), 510, 16, len.data(), single), 30u);
    EXPECT_EQ(kraft(len), 1u << 16);
    for (unsigned i = 0; i < 510; ++i) {
        EXPECT_LE(len[i], 16);
        EXPECT_EQ(len[i] != 0, freq[i] != 0) << i;
    }
}

TEST(HuffmanLengths, RandomFrequenciesGiveCompleteCodesWhereMoreFrequentIsNotLonger)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        const unsigned n = 2 + rng() % 509;
        std::vector<std::uint32_t> freq(n);
        for (auto& f : freq)
            f = rng() % 3 == 0 ? 0 : 1 + rng() % (1u << (rng() % 16));
        freq[0] = freq[0] ? freq[0] : 1;
        freq[n - 1] = freq[n - 1] ? freq[n - 1] : 5;
        std::vector<std::uint8_t> len(n);
        unsigned single = 0;
        lha::buildCodeLengths(freq.data(), n, 16, len.data(), single);
        ASSERT_EQ(kraft(len), 1u << 16) << "round " << round;
        for (unsigned i = 0; i < n; ++i) {
            for (unsigned j = 0; j < n; ++j) {
                if (freq[i] > freq[j] && freq[j] > 0) {
                    ASSERT_LE(len[i], len[j]);
                }
            }
        }
    }
}

TEST(HuffmanLengths, SingleAndNoSymbolAreReportedNotCoded)
{
    std::vector<std::uint32_t> freq(19, 0);
    std::vector<std::uint8_t> len(19, 9);
    unsigned single = 99;
    EXPECT_EQ(lha::buildCodeLengths(freq.data(), 19, 16, len.data(), single), 0u);
    freq[7] = 1000;
    EXPECT_EQ(lha::buildCodeLengths(freq.data(), 19, 16, len.data(), single), 1u);
    EXPECT_EQ(single, 7u);
    EXPECT_EQ(kraft(len), 0u);
}

TEST(DecodeTable, DecodesEveryCanonicalCodeIncludingSecondLevel)
{
    // Lengths 1..16 plus a second 16: a complete code reaching into the second-level tables.
    std::vector<std::uint8_t> len(17);
    for (unsigned i = 0; i < 16; ++i)
        len[i] = static_cast<std::uint8_t>(i + 1);
    len[16] = 16;
    std::vector<std::uint16_t> codes(17);
    lha::assignCanonicalCodes(len.data(), 17, codes.data());
    lha::DecodeTable t(8, 17);
    ASSERT_TRUE(t.build(len.data(), 17));
    for (unsigned s = 0; s < 17; ++s) {
        const std::uint32_t bits16 = static_cast<std::uint32_t>(codes[s]) << (16 - len[s]);
        std::uint32_t e = t.data()[bits16 >> 8];
        if (lha::DecodeTable::kind(e) == lha::DecodeTable::kSub)
            e = t.data()[lha::DecodeTable::value(e) + (bits16 & 0xFF)];
        ASSERT_EQ(lha::DecodeTable::kind(e), lha::DecodeTable::kLeaf) << s;
        EXPECT_EQ(lha::DecodeTable::value(e), s);
        EXPECT_EQ(lha::DecodeTable::length(e), len[s]);
    }
}

TEST(DecodeTable, RejectsOverSubscribedAndMarksUnusedCodesOfIncompleteTables)
{
    lha::DecodeTable t(8, 4);
    const std::uint8_t over[4] = {1, 1, 1, 0};
    EXPECT_FALSE(t.build(over, 4));
    const std::uint8_t incomplete[4] = {1, 0, 0, 0};   // only code "0" exists
    ASSERT_TRUE(t.build(incomplete, 4));
    EXPECT_EQ(lha::DecodeTable::kind(t.data()[0x00]), lha::DecodeTable::kLeaf);
    EXPECT_EQ(lha::DecodeTable::kind(t.data()[0x80]), lha::DecodeTable::kInvalid);
}

} // namespace
