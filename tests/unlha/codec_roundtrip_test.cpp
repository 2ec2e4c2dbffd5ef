// SPDX-License-Identifier: GPL-3.0-or-later
// Packing and unpacking in memory, for every packing method and the data shapes that stress it.
#include "codec/lha_archive.h"
#include "codec/lha_header.h"
#include "codec/memory_io.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using lha::Method;
using lhatest::Bytes;

struct Shape {
    const char* name;
    Bytes (*make)();
    bool shrinks;   // whether packing is expected to make it smaller
};

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Shape kShapes[] = {
    {"one_byte", [] { return Bytes{0x41}; }, false},
    {"three_bytes", [] { return Bytes{'a', 'a', 'a'}; }, false},
    {"short_run", [] { return Bytes(300, 'x'); }, true},
    {"text", [] { return lhatest::textData(100000); }, true},
    {"leading_spaces", [] { return concat(Bytes(5000, ' '), lhatest::textData(3000)); }, true},
    {"binary", [] { return lhatest::binaryData(200000); }, true},
    {"incompressible", [] { return lhatest::randomData(100000); }, false},
    // Every byte value, repeated across several blocks and past 64 KB.
    {"over_64k_periodic", [] {
         const Bytes unit = lhatest::randomData(3000, 5);
         Bytes b;
         for (int i = 0; i < 30; ++i)
             b = concat(b, unit);
         return concat(b, lhatest::textData(50000));
     }, true},
    // Runs long enough for blocks whose tables have a single symbol.
    {"over_4mb_zeros", [] { return Bytes(4u * 1024 * 1024 + 1234, 0); }, true},
    {"over_4mb_mixed", [] {
         return concat(concat(lhatest::textData(2u << 20), lhatest::binaryData(1u << 20)),
                       lhatest::textData(1200000));
     }, true},
    // Incompressible start: packing gives up early and the file is stored.
    {"random_then_text", [] { return concat(lhatest::randomData(300000, 9), lhatest::textData(300000)); }, false},
};

class RoundTrip : public testing::TestWithParam<std::tuple<Method, int>> {};

TEST_P(RoundTrip, UnpacksToTheOriginalBytes)
{
    const auto [method, shapeIndex] = GetParam();
    const Shape& shape = kShapes[shapeIndex];
    const Bytes data = shape.make();
    const Bytes archive = lhatest::packToMemory(data, method);

    lha::MemorySource in(archive);
    lha::EntryHeader h;
    ASSERT_TRUE(lha::readHeader(in, h));
    EXPECT_EQ(h.originalSize, data.size());
    EXPECT_EQ(h.method, shape.shrinks ? method : Method::Lh0) << h.methodText;
    if (h.method == Method::Lh0)
        EXPECT_EQ(h.packedSize, data.size());
    else
        EXPECT_LT(h.packedSize, data.size());
    // Header, exactly packedSize bytes of data, then the end-of-archive byte.
    EXPECT_EQ(archive.size(), h.headerSize + h.packedSize + 1);
    EXPECT_EQ(archive.back(), 0);

    EXPECT_TRUE(lhatest::unpackFromMemory(archive) == data) << shape.name;
}

std::string paramName(const testing::TestParamInfo<RoundTrip::ParamType>& info)
{
    return std::string(lha::methodId(std::get<0>(info.param))).substr(1, 3) + "_"
           + kShapes[std::get<1>(info.param)].name;
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip,
                         testing::Combine(testing::Values(Method::Lh4, Method::Lh5, Method::Lh6, Method::Lh7),
                                          testing::Range(0, static_cast<int>(std::size(kShapes)))),
                         paramName);

TEST(RoundTripEdge, EmptyFileIsStoredWithSizeAndCrcZero)
{
    for (Method m : {Method::Lh5, Method::Lh7}) {
        const Bytes archive = lhatest::packToMemory({}, m);
        lha::MemorySource in(archive);
        lha::EntryHeader h;
        ASSERT_TRUE(lha::readHeader(in, h));
        EXPECT_EQ(h.method, Method::Lh0);
        EXPECT_EQ(h.packedSize, 0u);
        EXPECT_EQ(h.originalSize, 0u);
        EXPECT_EQ(h.crc, 0);
        EXPECT_TRUE(lhatest::unpackFromMemory(archive).empty());
    }
}

TEST(RoundTripEdge, LargerWindowsPackRepetitiveTextSmaller)
{
    // Repeats 20 KB apart are out of reach for -lh5- (8 KiB) but not for -lh6-/-lh7-.
    Bytes unit = lhatest::randomData(20000, 21);
    Bytes data;
    for (int i = 0; i < 10; ++i)
        data.insert(data.end(), unit.begin(), unit.end());
    const auto packed = [&](Method m) {
        const Bytes archive = lhatest::packToMemory(data, m);
        lha::MemorySource in(archive);
        lha::EntryHeader h;
        EXPECT_TRUE(lha::readHeader(in, h));
        return h;
    };
    EXPECT_LT(packed(Method::Lh6).packedSize, data.size() / 5);
    EXPECT_LT(packed(Method::Lh7).packedSize, data.size() / 5);
    EXPECT_EQ(packed(Method::Lh5).method, Method::Lh0) << "repeats 20 KB apart are beyond an 8 KiB window";
}

TEST(RoundTripEdge, Lh7ReachesBackAlmost64KiB)
{
    // Text first, so that packing does not give up on the random part before its repeats.
    const Bytes unit = lhatest::randomData(65000, 8);
    const Bytes data = concat(concat(concat(lhatest::textData(60000), unit), unit), unit);
    const Bytes archive = lhatest::packToMemory(data, Method::Lh7);
    EXPECT_LT(archive.size(), unit.size() + 30000);
    EXPECT_TRUE(lhatest::unpackFromMemory(archive) == data);
}

TEST(RoundTripEdge, PackingIsDeterministic)
{
    const Bytes data = lhatest::textData(300000);
    EXPECT_EQ(lhatest::packToMemory(data, Method::Lh5), lhatest::packToMemory(data, Method::Lh5));
}

} // namespace
