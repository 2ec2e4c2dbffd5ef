// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/lzh_decoder.h"

#include "codec/crc16.h"
#include "codec/huffman.h"
#include "codec/lzh_format.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

namespace lha {

using namespace format;

namespace {

[[noreturn]] void damaged(const char* what)
{
    throw Error(ErrorCode::BadData, std::string("damaged archive: ") + what);
}

// MSB-first bit input over exactly `packedSize` bytes of the reader. Past the end it supplies zero bits,
// which the decoder may peek at but must not consume (checked by overrun()).
class BitReader {
public:
    BitReader(Reader& in, std::uint64_t packedSize) : in_(in), remaining_(packedSize), chunk_(kChunk + 8)
    {
        p_ = end_ = chunk_.data();
        refill();
    }

    // Afterwards at least 56 bits are available.
    inline __attribute__((always_inline)) void refill()
    {
        if (end_ - p_ >= 8) [[likely]] {
            std::uint64_t v;
            std::memcpy(&v, p_, 8);
            if constexpr (std::endian::native == std::endian::little)
                v = __builtin_bswap64(v);
            buf_ |= v >> cnt_;
            p_ += (63 - cnt_) >> 3;
            cnt_ |= 56;
        } else {
            refillSlow();
        }
    }

    std::uint32_t peek(unsigned n) const { return static_cast<std::uint32_t>(buf_ >> (64 - n)); }
    void skip(unsigned n)
    {
        buf_ <<= n;
        cnt_ -= n;
    }
    // n in 1..16; refills itself.
    std::uint32_t get(unsigned n)
    {
        if (cnt_ < n)
            refill();
        const std::uint32_t v = peek(n);
        skip(n);
        return v;
    }

    // True when bits beyond the packed data have been consumed.
    bool overrun() const { return padBits_ > cnt_; }

    // Decodes one symbol; assumes at least 16 bits are available.
    unsigned decode(const DecodeTable& t)
    {
        const std::uint32_t* d = t.data();
        const unsigned rb = t.rootBits();
        std::uint32_t e = d[peek(rb)];
        if (DecodeTable::kind(e) != DecodeTable::kLeaf) {
            if (DecodeTable::kind(e) != DecodeTable::kSub)
                damaged("invalid Huffman code");
            e = d[DecodeTable::value(e) + (peek(kMaxCodeLength) & ((1u << (kMaxCodeLength - rb)) - 1))];
            if (DecodeTable::kind(e) != DecodeTable::kLeaf)
                damaged("invalid Huffman code");
        }
        skip(DecodeTable::length(e));
        return DecodeTable::value(e);
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    void refillSlow()
    {
        if (end_ - p_ < 8 && remaining_ > 0) {
            const std::size_t left = static_cast<std::size_t>(end_ - p_);
            std::memmove(chunk_.data(), p_, left);
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, kChunk - left));
            const std::size_t got = readFully(in_, chunk_.data() + left, want);
            if (got < want)
                damaged("data truncated");
            remaining_ -= got;
            p_ = chunk_.data();
            end_ = p_ + left + got;
            if (end_ - p_ >= 8) {
                refill();
                return;
            }
        }
        while (cnt_ <= 56) {
            if (p_ < end_) {
                buf_ |= static_cast<std::uint64_t>(*p_++) << (56 - cnt_);
            } else {
                padBits_ += 8;
                if (padBits_ > (1u << 20))
                    damaged("data truncated");
            }
            cnt_ += 8;
        }
    }

    Reader& in_;
    std::uint64_t remaining_;
    std::vector<std::uint8_t> chunk_;
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    std::uint64_t buf_ = 0;   // MSB-aligned
    unsigned cnt_ = 0;        // valid bits in buf_
    std::uint64_t padBits_ = 0;
};

class Decoder {
public:
    Decoder(Method m, Reader& in, std::uint64_t packedSize, Writer& out)
        : bits_(in, packedSize), out_(out), cTable_(12, kNC), pTable_(8, kMaxNP), tTable_(8, kNT)
    {
        np_ = methodParams(m).np;
        pbit_ = methodParams(m).pbit;
        // Bytes before the start of the file read as spaces, as the original LHA tools assumed; every
        // offset the format can express stays inside this history.
        // Only the history needs a value; the rest is written before it is read.
        win_.reset(new std::uint8_t[kHist + kOut + kMaxMatch + 16]);
        std::memset(win_.get(), ' ', kHist);
    }

    std::uint16_t run(std::uint64_t originalSize);

private:
    static constexpr std::size_t kHist = 1 << 16;   // largest distance of any method
    static constexpr std::size_t kOut = 1 << 20;

    void readBlockHeader();
    void readLengths(unsigned nn, unsigned nbit, int special, DecodeTable& table, std::uint8_t* lens);
    void readCLengths();
    void flush();

    BitReader bits_;
    Writer& out_;
    unsigned np_ = 0, pbit_ = 0;
    DecodeTable cTable_, pTable_, tTable_;
    std::uint8_t cLen_[kNC] = {};
    std::uint8_t pLen_[kMaxNP] = {};
    std::uint8_t tLen_[kNT] = {};
    unsigned blockLeft_ = 0;

    std::unique_ptr<std::uint8_t[]> win_;
    std::size_t pos_ = kHist;
    std::uint16_t crc_ = 0;
};

void Decoder::readLengths(unsigned nn, unsigned nbit, int special, DecodeTable& table, std::uint8_t* lens)
{
    const unsigned n = bits_.get(nbit);
    if (n == 0) {
        table.buildSingle(bits_.get(nbit));
        return;
    }
    if (n > nn)
        damaged("bad table size");
    std::memset(lens, 0, nn);
    unsigned i = 0;
    while (i < n) {
        unsigned k = bits_.get(3);
        if (k == 7) {
            while (bits_.get(1)) {
                if (++k > kMaxCodeLength)
                    damaged("code length too long");
            }
        }
        lens[i++] = static_cast<std::uint8_t>(k);
        if (static_cast<int>(i) == special) {
            unsigned z = bits_.get(2);
            while (z-- > 0 && i < nn)
                lens[i++] = 0;
        }
    }
    if (!table.build(lens, nn))
        damaged("bad Huffman table");
}

void Decoder::readCLengths()
{
    const unsigned n = bits_.get(kCBit);
    if (n == 0) {
        const unsigned c = bits_.get(kCBit);
        if (c >= kNC)
            damaged("bad symbol");
        cTable_.buildSingle(c);
        return;
    }
    if (n > kNC)
        damaged("bad table size");
    std::memset(cLen_, 0, sizeof cLen_);
    unsigned i = 0;
    while (i < n) {
        bits_.refill();
        const unsigned t = bits_.decode(tTable_);
        if (t <= 2) {
            unsigned run = t == 0 ? 1 : t == 1 ? bits_.get(4) + 3 : bits_.get(kCBit) + 20;
            i += std::min(run, n - i);
        } else {
            if (t - 2 > kMaxCodeLength)
                damaged("code length too long");
            cLen_[i++] = static_cast<std::uint8_t>(t - 2);
        }
    }
    if (!cTable_.build(cLen_, kNC))
        damaged("bad Huffman table");
}

void Decoder::readBlockHeader()
{
    if (bits_.overrun())
        damaged("data truncated");
    blockLeft_ = bits_.get(16);
    if (blockLeft_ == 0)
        damaged("empty block");
    readLengths(kNT, kTBit, kTSpecial, tTable_, tLen_);
    readCLengths();
    readLengths(np_, pbit_, -1, pTable_, pLen_);
}

void Decoder::flush()
{
    const std::size_t n = pos_ - kHist;
    crc_ = crc16Update(crc_, win_.get() + kHist, n);
    out_.write(win_.get() + kHist, n);
    std::memmove(win_.get(), win_.get() + pos_ - kHist, kHist);
    pos_ = kHist;
}

std::uint16_t Decoder::run(std::uint64_t originalSize)
{
    std::uint64_t remaining = originalSize;
    std::uint8_t* const w = win_.get();
    std::size_t pos = pos_;
    while (remaining > 0) {
        if (blockLeft_ == 0)
            readBlockHeader();
        --blockLeft_;
        bits_.refill();
        const unsigned c = bits_.decode(cTable_);
        if (c < 256) {
            w[pos++] = static_cast<std::uint8_t>(c);
            --remaining;
        } else {
            unsigned len = c - 256 + kMinMatch;
            const unsigned q = bits_.decode(pTable_);
            if (q >= np_)
                damaged("bad distance");
            std::size_t dist = q <= 1 ? q : (1u << (q - 1)) + bits_.peek(q - 1);
            if (q > 1)
                bits_.skip(q - 1);
            dist += 1;
            if (len > remaining)
                len = static_cast<unsigned>(remaining);
            remaining -= len;
            std::uint8_t* dst = w + pos;
            const std::uint8_t* src = dst - dist;
            pos += len;
            if (dist >= 8) {
                // Eight bytes at a time; the window has slack for the overshoot.
                for (unsigned k = 0; k < len; k += 8)
                    std::memcpy(dst + k, src + k, 8);
            } else if (dist == 1) {
                std::memset(dst, *src, len);
            } else {
                for (unsigned k = 0; k < len; ++k)
                    dst[k] = src[k];
            }
        }
        if (pos >= kHist + kOut) {
            pos_ = pos;
            flush();
            pos = pos_;
        }
    }
    pos_ = pos;
    flush();
    if (bits_.overrun())
        damaged("data truncated");
    return crc_;
}

} // namespace

std::uint16_t decodeLzh(Method method, Reader& in, std::uint64_t packedSize, std::uint64_t originalSize,
                        Writer& out)
{
    if (method == Method::Lh0 || method == Method::Directory)
        throw Error(ErrorCode::Internal, "not a packing method");
    Decoder d(method, in, packedSize, out);
    return d.run(originalSize);
}

std::uint16_t copyStored(Reader& in, std::uint64_t size, Writer& out)
{
    std::vector<std::uint8_t> buf(1 << 16);
    std::uint16_t crc = 0;
    while (size > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, buf.size()));
        const std::size_t got = readFully(in, buf.data(), want);
        if (got < want)
            throw Error(ErrorCode::BadData, "damaged archive: data truncated");
        crc = crc16Update(crc, buf.data(), got);
        out.write(buf.data(), got);
        size -= got;
    }
    return crc;
}

} // namespace lha
