// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and foreign archives: each kind of damage is reported with its own error, never a crash.
#include "codec/crc16.h"
#include "codec/lha_archive.h"
#include "codec/lha_header.h"
#include "codec/memory_io.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using lha::ErrorCode;
using lha::Method;
using lhatest::Bytes;

ErrorCode extractError(const Bytes& archive)
{
    try {
        lhatest::unpackFromMemory(archive);
    } catch (const lha::Error& e) {
        return e.code();
    }
    ADD_FAILURE() << "the damaged archive was accepted";
    return ErrorCode::Internal;
}

std::size_t headerSize(const Bytes& a) { return static_cast<std::size_t>(a[0] | (a[1] << 8)); }

// Rewrites the level-2 header CRC after a deliberate change, so that only the intended damage remains.
void fixHeaderCrc(Bytes& a)
{
    const std::size_t size = headerSize(a);
    std::size_t off = 24, next = static_cast<std::size_t>(a[off] | (a[off + 1] << 8));
    off += 2;
    while (next) {
        if (a[off] == 0x00) {
            a[off + 1] = a[off + 2] = 0;
            const std::uint16_t crc = lha::crc16(a.data(), size);
            a[off + 1] = static_cast<std::uint8_t>(crc);
            a[off + 2] = static_cast<std::uint8_t>(crc >> 8);
            return;
        }
        const std::size_t n = next;
        next = static_cast<std::size_t>(a[off + n - 2] | (a[off + n - 1] << 8));
        off += n;
    }
}

class Damaged : public testing::Test {
protected:
    Bytes text = lhatest::textData(60000);
    Bytes packed = lhatest::packToMemory(text, Method::Lh5);
    Bytes stored = lhatest::packToMemory(lhatest::randomData(5000), Method::Lh5);
};

TEST_F(Damaged, HeaderChecksumMismatch)
{
    Bytes a = packed;
    a[headerSize(a) - 4] ^= 0x01;   // inside the name extension
    EXPECT_EQ(extractError(a), ErrorCode::BadHeader);
}

TEST_F(Damaged, DataCrcMismatchInStoredAndPackedData)
{
    Bytes a = stored;
    a[headerSize(a) + 100] ^= 0x40;
    EXPECT_EQ(extractError(a), ErrorCode::BadData);

    Bytes b = packed;
    b[21] ^= 0xFF;   // the stored CRC itself
    fixHeaderCrc(b);
    EXPECT_EQ(extractError(b), ErrorCode::BadData);
}

TEST_F(Damaged, TruncatedDataHeaderOrEmptyInput)
{
    for (const Bytes* src : {&packed, &stored}) {
        Bytes a(src->begin(), src->begin() + static_cast<long>(headerSize(*src) + 50));
        EXPECT_EQ(extractError(a), ErrorCode::BadData);
    }
    EXPECT_EQ(extractError(Bytes(packed.begin(), packed.begin() + 30)), ErrorCode::BadHeader);
    EXPECT_EQ(extractError(Bytes{}), ErrorCode::NoEntry);
    EXPECT_EQ(extractError(Bytes{0}), ErrorCode::NoEntry);
}

TEST_F(Damaged, OriginalSizeLargerThanTheDataProduces)
{
    Bytes a = packed;
    a[14] = 0x7F;   // original size now about 2 GB; the packed data runs out long before
    fixHeaderCrc(a);
    EXPECT_EQ(extractError(a), ErrorCode::BadData);
}

TEST_F(Damaged, UnknownMethodOrHeaderLevel)
{
    for (const char* m : {"-lzs-", "-lh9-", "-lh1-", "-pm0-"}) {
        Bytes a = packed;
        std::copy(m, m + 5, a.begin() + 2);
        fixHeaderCrc(a);
        EXPECT_EQ(extractError(a), ErrorCode::UnsupportedMethod) << m;
    }
    Bytes a = packed;
    a[20] = 3;
    EXPECT_EQ(extractError(a), ErrorCode::UnsupportedMethod);
}

TEST_F(Damaged, NotAnArchive)
{
    const std::string s = "PK\x03\x04 this is a zip file, not an LHA archive at all.........";
    EXPECT_EQ(extractError(Bytes(s.begin(), s.end())), ErrorCode::BadHeader);
}

TEST_F(Damaged, BlockOfZeroSymbols)
{
    Bytes a = packed;
    const std::size_t d = headerSize(a);
    a[d] = a[d + 1] = 0;
    EXPECT_EQ(extractError(a), ErrorCode::BadData);
}

TEST_F(Damaged, EveryBitFlipInPackedDataIsRejectedOrHarmless)
{
    // Short archives of each method; a flipped bit must end in an error or (rarely) in the same output,
    // and must never crash or hang. The sanitizer build makes memory faults visible.
    const Bytes data = lhatest::textData(3000);
    for (Method m : {Method::Lh5, Method::Lh6, Method::Lh7}) {
        const Bytes a = lhatest::packToMemory(data, m);
        const std::size_t from = headerSize(a);
        for (std::size_t i = from; i + 1 < a.size(); ++i) {
            for (int bit : {0, 3, 7}) {
                Bytes b = a;
                b[i] ^= static_cast<std::uint8_t>(1 << bit);
                try {
                    EXPECT_TRUE(lhatest::unpackFromMemory(b) == data) << "byte " << i << " bit " << bit;
                } catch (const lha::Error& e) {
                    EXPECT_TRUE(e.code() == ErrorCode::BadData || e.code() == ErrorCode::BadHeader) << e.what();
                }
            }
        }
    }
}

TEST_F(Damaged, RandomGarbageAfterAValidHeader)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        Bytes a(packed.begin(), packed.begin() + static_cast<long>(headerSize(packed)));
        const std::size_t n = 1 + rng() % 3000;
        for (std::size_t i = 0; i < n; ++i)
            a.push_back(static_cast<std::uint8_t>(rng()));
        try {
            lhatest::unpackFromMemory(a);
            ADD_FAILURE() << "garbage accepted in round " << round;
        } catch (const lha::Error& e) {
            EXPECT_EQ(e.code(), ErrorCode::BadData);
        }
    }
}

} // namespace
