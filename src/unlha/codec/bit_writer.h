// SPDX-License-Identifier: GPL-3.0-or-later
// MSB-first bit output with an internal buffer.
#pragma once

#include "codec/lha_types.h"

#include <cstdint>
#include <vector>

namespace lha {

class BitWriter {
public:
    explicit BitWriter(Writer& out) : out_(out), buf_(kBufSize + 8) {}

    // Appends the low `n` bits of `v` (n <= 32; v must have no bits above them).
    void put(unsigned n, std::uint32_t v)
    {
        acc_ = (acc_ << n) | v;
        bits_ += n;
        if (bits_ >= 32) {
            bits_ -= 32;
            const auto w = static_cast<std::uint32_t>(acc_ >> bits_);
            std::uint8_t* p = buf_.data() + used_;
            p[0] = static_cast<std::uint8_t>(w >> 24);
            p[1] = static_cast<std::uint8_t>(w >> 16);
            p[2] = static_cast<std::uint8_t>(w >> 8);
            p[3] = static_cast<std::uint8_t>(w);
            used_ += 4;
            if (used_ >= kBufSize)
                drain();
        }
    }

    // Pads the last byte with zero bits and hands everything to the writer.
    void finish()
    {
        while (bits_ >= 8) {
            bits_ -= 8;
            buf_[used_++] = static_cast<std::uint8_t>(acc_ >> bits_);
        }
        if (bits_ > 0) {
            buf_[used_++] = static_cast<std::uint8_t>(acc_ << (8 - bits_));
            bits_ = 0;
        }
        drain();
    }

    // Bits produced so far, including those not yet handed over.
    std::uint64_t bitCount() const { return (written_ + used_) * 8 + bits_; }

private:
    static constexpr std::size_t kBufSize = 1 << 16;

    void drain()
    {
        out_.write(buf_.data(), used_);
        written_ += used_;
        used_ = 0;
    }

    Writer& out_;
    std::vector<std::uint8_t> buf_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t acc_ = 0;
    unsigned bits_ = 0;
};

} // namespace lha
