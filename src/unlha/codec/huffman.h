// SPDX-License-Identifier: GPL-3.0-or-later
// Canonical Huffman codes: building length-limited codes for the encoder and lookup tables for the decoder.
#pragma once

#include <cstdint>
#include <vector>

namespace lha {

constexpr unsigned kMaxCodeLength = 16;

// Computes code lengths (at most `limit`) for n symbols from their frequencies. Unused symbols get length 0.
// The resulting code is complete whenever two or more symbols are used. Returns the number of used symbols;
// when it is 1, `singleSymbol` receives it and all lengths stay 0 (the format codes such a table specially).
unsigned buildCodeLengths(const std::uint32_t* freq, unsigned n, unsigned limit, std::uint8_t* lengths,
                          unsigned& singleSymbol);

// Assigns canonical codes (shorter codes first, then by symbol), as the format requires.
void assignCanonicalCodes(const std::uint8_t* lengths, unsigned n, std::uint16_t* codes);

// Two-level lookup table for decoding. The first level is indexed by the next `rootBits` bits of the stream;
// codes longer than that continue in a second-level table indexed by the following bits up to 16.
class DecodeTable {
public:
    explicit DecodeTable(unsigned rootBits, unsigned maxSymbols);

    // Builds the table from code lengths. Returns false when the lengths over-subscribe the code space.
    // Incomplete codes are accepted; the unused bit patterns decode as errors.
    bool build(const std::uint8_t* lengths, unsigned n);
    // A table whose only symbol takes no bits at all.
    void buildSingle(unsigned symbol);

    // Entry layout: bits 0..15 symbol or second-level offset, bits 16..20 length, bits 24..25 kind.
    enum : std::uint32_t { kInvalid = 0, kLeaf = 1, kSub = 2 };
    static std::uint32_t kind(std::uint32_t e) { return e >> 24; }
    static unsigned length(std::uint32_t e) { return (e >> 16) & 0x1F; }
    static unsigned value(std::uint32_t e) { return e & 0xFFFF; }

    unsigned rootBits() const { return rootBits_; }
    const std::uint32_t* data() const { return entries_.data(); }

private:
    unsigned rootBits_;
    std::vector<std::uint32_t> entries_;
};

} // namespace lha
