// SPDX-License-Identifier: GPL-3.0-or-later
// In-memory implementations of the stream interfaces, for tools and tests that work on buffers.
#pragma once

#include "codec/lha_types.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lha {

class MemorySource : public Source {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const std::vector<std::uint8_t>& v) : MemorySource(v.data(), v.size()) {}
    std::size_t read(std::uint8_t* buf, std::size_t n) override
    {
        n = std::min(n, size_ - pos_);
        if (n)
            std::memcpy(buf, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    void rewind() override { pos_ = 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class MemoryTarget : public Target {
public:
    void write(const std::uint8_t* d, std::size_t n) override
    {
        if (pos_ + n > data.size())
            data.resize(pos_ + n);
        if (n)
            std::memcpy(data.data() + pos_, d, n);
        pos_ += n;
    }
    std::uint64_t tell() override { return pos_; }
    void seek(std::uint64_t p) override { pos_ = static_cast<std::size_t>(p); }
    void truncateHere() override { data.resize(pos_); }

    std::vector<std::uint8_t> data;

private:
    std::size_t pos_ = 0;
};

} // namespace lha
