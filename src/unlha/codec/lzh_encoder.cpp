// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/lzh_encoder.h"

#include "codec/bit_writer.h"
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

struct Tuning {
    unsigned hashBits;
    unsigned maxChain;   // candidates examined per search
    unsigned niceLen;    // stop searching once a match this long is found
    unsigned lazyLen;    // do not look for a better match after one this long
    unsigned goodLen;    // search less when the pending match is already this long
};

Tuning tuningFor(Method m)
{
    // Chain depths chosen on text: -lh5- stays fast while matching the ratio of the classic LHA packer;
    // the larger windows search deeper, where the ratio gains are bigger.
    switch (m) {
    case Method::Lh4:
    case Method::Lh5:
        // A pending match of 8 bytes or more already codes well within the small window, so the lazy
        // search after it walks a quarter of the chain; that buys a deeper walk elsewhere, and the wider
        // hash keeps chains short. Measured on text: same size within 0.02 %, about a fifth faster.
        return {14, 64, 64, 64, 8};
    case Method::Lh6:
        return {15, 96, 192, 96, 32};
    default:
        return {15, 128, 192, 96, 32};
    }
}

inline std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
inline std::uint16_t load16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Length of the common prefix of a and b, at most `limit`. Reads up to 7 bytes past `limit`.
inline unsigned commonLength(const std::uint8_t* a, const std::uint8_t* b, unsigned limit)
{
    unsigned n = 0;
    while (n < limit) {
        const std::uint64_t x = load64(a + n) ^ load64(b + n);
        if (x) {
            if constexpr (std::endian::native == std::endian::little)
                n += static_cast<unsigned>(std::countr_zero(x)) >> 3;
            else
                n += static_cast<unsigned>(std::countl_zero(x)) >> 3;
            return std::min(n, limit);
        }
        n += 8;
    }
    return limit;
}

class Encoder {
public:
    Encoder(Method m, Reader& in, Writer& out, const EncodeOptions& opt)
        : in_(in), bits_(out), opt_(opt), tune_(tuningFor(m))
    {
        const MethodParams mp = methodParams(m);
        dictSize_ = 1u << mp.dictBits;
        np_ = mp.np;
        pbit_ = mp.pbit;
        windowMask_ = (2u << mp.dictBits) - 1;   // chain ring strictly larger than the dictionary
        bufCap_ = dictSize_ + 1 + kChunk + kMaxMatch + 64;
        buf_.assign(bufCap_ + 16, 0);
        head_.assign(std::size_t{1} << tune_.hashBits, 0);
        prev_.assign(windowMask_ + 1, 0xFFFF);
        head3_.assign(std::size_t{1} << kHash3Bits, 0);
        syms_.resize(kBlockSymbols);
        cum_.reset(new std::uint32_t[bufCap_ + 1]);
        cum_[0] = 0;
        for (int& p : litPrice_)
            p = 6 * 16;
        for (int& p : lenPrice_)
            p = 7 * 16;
        for (int& p : slotPrice_)
            p = 4 * 16;
        offs_.resize(kBlockSymbols);
    }

    EncodeResult run();

private:
    static constexpr std::uint32_t kChunk = 1u << 18;
    static constexpr unsigned kBlockSymbols = 1u << 15;   // at most 65535 by the format

    const std::uint8_t* at(std::uint32_t absPos) const { return buf_.data() + (absPos - base_); }

    // Chains link positions with equal 4-byte hashes, which keeps them short; 3-byte matches are
    // found through a separate table that only remembers the latest position of each 3-byte hash.
    std::uint32_t hash4(std::uint32_t v) const { return (v * 0x9E3779B1u) >> (32 - tune_.hashBits); }
    static std::uint32_t hash3(std::uint32_t v) { return ((v & 0xFFFFFFu) * 0x9E3779B1u) >> (32 - kHash3Bits); }

    // Links absPos into the tables; returns the previous chain head and the latest position of the same
    // 3-byte hash (both stored as position + 1, 0 = none). Needs four readable bytes at absPos; a fourth
    // byte past the end of the data only affects which chain the position lands in.
    std::uint32_t insert(std::uint32_t absPos, std::uint32_t& cand3)
    {
        const std::uint32_t v = load32(at(absPos));
        std::uint32_t& h3 = head3_[hash3(v)];
        cand3 = h3;
        h3 = absPos + 1;
        std::uint32_t& h = head_[hash4(v)];
        const std::uint32_t old = h;
        // The chain link is the distance back to the previous position, which keeps the ring of links
        // small. "None" (old == 0) gives a distance reaching before the file, which ends the walk like any
        // distance beyond the dictionary; a distance capped at 0xFFFF lands on some other position, which
        // costs a wasted comparison at worst, as every candidate is verified.
        prev_[absPos & windowMask_] = static_cast<std::uint16_t>(std::min<std::uint32_t>(absPos + 1 - old, 0xFFFF));
        h = absPos + 1;
        return old;
    }
    void insert(std::uint32_t absPos)
    {
        std::uint32_t c3;
        insert(absPos, c3);
    }

    void ensureLookahead(std::uint32_t pos);
    unsigned findMatch(std::uint32_t pos, std::uint32_t cand, std::uint32_t cand3, unsigned avail, unsigned prevLen,
                       std::uint32_t& dist, int& score) const;

    // Estimated bits saved by coding `len` bytes as a match at offset `off` instead of as literals, in
    // 1/16 bit, from the code lengths of the previous block.
    int matchScore(std::uint32_t pos, unsigned len, std::uint32_t off) const
    {
        const unsigned q = static_cast<unsigned>(std::bit_width(off));
        const std::uint32_t* cum = cum_.get() + (pos - base_);
        return static_cast<int>(cum[len] - cum[0]) - lenPrice_[len - kMinMatch]
               - slotPrice_[q] - static_cast<int>(q > 1 ? (q - 1) * 16 : 0);
    }
    void updatePrices(const std::uint8_t* cLen, const std::uint8_t* pLen);

    void literal(std::uint8_t c)
    {
        syms_[count_] = c;
        ++cFreq_[c];
        emitted_ += 1;
        if (++count_ == kBlockSymbols)
            flushBlock();
    }
    void match(unsigned len, std::uint32_t dist)
    {
        const std::uint32_t off = dist - 1;
        const unsigned c = len - kMinMatch + 256;
        syms_[count_] = static_cast<std::uint16_t>(c);
        offs_[count_] = static_cast<std::uint16_t>(off);
        ++cFreq_[c];
        ++pFreq_[std::bit_width(off)];
        emitted_ += len;
        if (++count_ == kBlockSymbols)
            flushBlock();
    }

    void flushBlock();
    void writeLengths(const std::uint8_t* len, unsigned nn, unsigned nbit, int special);
    void writeSingle(unsigned nbit, unsigned symbol)
    {
        bits_.put(nbit, 0);
        bits_.put(nbit, symbol);
    }

    Reader& in_;
    BitWriter bits_;
    EncodeOptions opt_;
    Tuning tune_;
    std::uint32_t dictSize_ = 0;
    unsigned np_ = 0, pbit_ = 0;
    std::uint32_t windowMask_ = 0;
    std::uint32_t bufCap_ = 0;

    std::vector<std::uint8_t> buf_;
    std::uint32_t base_ = 0;   // absolute position of buf_[0]
    std::uint32_t end_ = 0;    // absolute position just past the data in buf_
    bool eof_ = false;
    std::uint64_t totalIn_ = 0;
    std::uint16_t crc_ = 0;

    static constexpr unsigned kHash3Bits = 12;
    std::vector<std::uint32_t> head_, head3_;
    std::vector<std::uint16_t> prev_;

    std::vector<std::uint16_t> syms_, offs_;
    unsigned count_ = 0;
    std::uint32_t cFreq_[kNC] = {};
    std::uint32_t pFreq_[kMaxNP] = {};
    std::uint64_t emitted_ = 0;
    bool expanded_ = false;

    // Running sum of literal prices over the buffer: cum_[i + 1] - cum_[i] is the price of buf_[i].
    std::unique_ptr<std::uint32_t[]> cum_;
    int litPrice_[256];
    int lenPrice_[kMaxMatch - kMinMatch + 1];
    int slotPrice_[kMaxNP];
};

void Encoder::updatePrices(const std::uint8_t* cLen, const std::uint8_t* pLen)
{
    auto price = [](unsigned len) { return len ? static_cast<int>(len) * 16 : 12 * 16; };
    for (unsigned c = 0; c < 256; ++c)
        litPrice_[c] = price(cLen[c]);
    for (unsigned l = 0; l <= kMaxMatch - kMinMatch; ++l)
        lenPrice_[l] = price(cLen[256 + l]);
    for (unsigned q = 0; q < np_; ++q)
        slotPrice_[q] = price(pLen[q]);
}

void Encoder::ensureLookahead(std::uint32_t pos)
{
    if (eof_ || end_ - pos > kMaxMatch)
        return;
    // Keep the dictionary (plus the byte a pending lazy match starts at) and drop what lies before it.
    const std::uint32_t keepFrom = pos - base_ > dictSize_ + 1 ? pos - dictSize_ - 1 : base_;
    if (keepFrom > base_ && bufCap_ - (end_ - base_) < kChunk) {
        std::memmove(buf_.data(), buf_.data() + (keepFrom - base_), end_ - keepFrom);
        std::memmove(cum_.get(), cum_.get() + (keepFrom - base_), (end_ - keepFrom + 1) * sizeof(std::uint32_t));
        base_ = keepFrom;
    }
    while (!eof_ && end_ - base_ < bufCap_) {
        std::uint8_t* dst = buf_.data() + (end_ - base_);
        const std::size_t got = in_.read(dst, bufCap_ - (end_ - base_));
        if (got == 0) {
            eof_ = true;
            break;
        }
        totalIn_ += got;
        if (totalIn_ > opt_.maxInput)
            throw Error(ErrorCode::TooLarge, "file too large for an LHA archive");
        crc_ = crc16Update(crc_, dst, got);
        std::uint32_t* cum = cum_.get() + (end_ - base_);
        for (std::size_t i = 0; i < got; ++i)
            cum[i + 1] = cum[i] + static_cast<std::uint32_t>(litPrice_[dst[i]]);
        end_ += static_cast<std::uint32_t>(got);
    }
}

unsigned Encoder::findMatch(std::uint32_t pos, std::uint32_t cand, std::uint32_t cand3, unsigned avail,
                            unsigned prevLen, std::uint32_t& dist, int& score) const
{
    const unsigned maxLen = std::min(avail, kMaxMatch);
    unsigned best = std::max(prevLen, kMinMatch - 1);
    if (best >= maxLen)
        return 0;
    // Locals, so that nothing is reloaded from members inside the chain walk.
    const std::uint8_t* const win = buf_.data();
    const std::uint32_t base = base_;
    const std::uint16_t* const prev = prev_.data();
    const std::uint32_t mask = windowMask_;
    const unsigned nice = std::min(tune_.niceLen, maxLen);
    const std::uint8_t* const cur = win + (pos - base);
    // Candidates are stored as position + 1 (0 = none); valid ones lie within the dictionary.
    const std::uint32_t lowest = pos > dictSize_ ? pos - dictSize_ : 0;
    unsigned chain = prevLen >= tune_.goodLen ? tune_.maxChain / 4 : tune_.maxChain;
    const std::uint16_t head2 = load16(cur);
    unsigned found = 0;
    std::uint32_t foundDist = 0;
    int bestScore = 0;

    // The latest 3-byte repeat first: chains only hold positions sharing four bytes.
    if (cand3 > lowest) {
        const std::uint8_t* m = win + (cand3 - 1 - base);
        if (m[best] == cur[best] && load16(m) == head2) {
            const unsigned len = commonLength(m, cur, maxLen);
            if (len > best) {
                best = len;
                const std::uint32_t d = pos - (cand3 - 1);
                const int sc = matchScore(pos, len, d - 1);
                if (sc > bestScore) {
                    bestScore = sc;
                    found = len;
                    foundDist = d;
                }
            }
        }
    }
    if (best < nice && cand > lowest) {
        std::uint32_t c = cand - 1;
        // A candidate can only beat `best` if it agrees on the bytes up to and including cur[best], so the
        // four bytes ending there are compared first: one load each, and far fewer candidates get past it
        // than past a single-byte test. While best is 2, the test covers the first three bytes only.
        unsigned tailAt = best >= 3 ? best - 3 : 0;
        std::uint32_t tailMask = best >= 3 ? 0xFFFFFFFFu : 0;
        std::uint32_t tail = 0;
        if (best < 3) {
            if constexpr (std::endian::native == std::endian::little)
                tailMask = 0x00FFFFFFu;
            else
                tailMask = 0xFFFFFF00u;
        }
        tail = load32(cur + tailAt) & tailMask;
        for (;;) {
            const std::uint8_t* m = win + (c - base);
            if ((load32(m + tailAt) & tailMask) == tail && load16(m) == head2) {
                const unsigned len = commonLength(m, cur, maxLen);
                if (len > best) {
                    best = len;
                    tailAt = best - 3;
                    tailMask = 0xFFFFFFFFu;
                    tail = load32(cur + tailAt);
                    const int sc = matchScore(pos, len, pos - c - 1);
                    if (sc > bestScore) {
                        bestScore = sc;
                        found = len;
                        foundDist = pos - c;
                    }
                    if (len >= nice)
                        break;
                }
            }
            if (--chain == 0)
                break;
            const std::uint32_t back = prev[c & mask];
            if (c - lowest < back)
                break;
            c -= back;
        }
    }
    dist = foundDist;
    score = bestScore;
    return found;
}

void Encoder::writeLengths(const std::uint8_t* len, unsigned nn, unsigned nbit, int special)
{
    unsigned n = nn;
    while (n > 0 && len[n - 1] == 0)
        --n;
    bits_.put(nbit, n);
    unsigned i = 0;
    while (i < n) {
        const unsigned k = len[i++];
        if (k <= 6) {
            bits_.put(3, k);
        } else {
            // 7, then one extra 1-bit per length step above 7, closed by a 0-bit.
            bits_.put(3, 7);
            bits_.put(k - 6, ((1u << (k - 7)) - 1) << 1);
        }
        if (static_cast<int>(i) == special) {
            unsigned z = 0;
            while (z < 3 && i + z < n && len[i + z] == 0)
                ++z;
            bits_.put(2, z);
            i += z;
        }
    }
}

void Encoder::flushBlock()
{
    if (count_ == 0)
        return;
    bits_.put(16, count_);

    std::uint8_t cLen[kNC];
    std::uint16_t cCode[kNC];
    unsigned single = 0;
    if (buildCodeLengths(cFreq_, kNC, kMaxCodeLength, cLen, single) <= 1) {
        writeSingle(kTBit, 0);
        writeSingle(kCBit, single);
        std::memset(cCode, 0, sizeof cCode);
    } else {
        assignCanonicalCodes(cLen, kNC, cCode);
        unsigned n = kNC;
        while (n > 0 && cLen[n - 1] == 0)
            --n;
        // Frequencies of the symbols that code the C lengths; zero runs are folded as the format allows.
        std::uint32_t tFreq[kNT] = {};
        for (unsigned i = 0; i < n;) {
            if (cLen[i] == 0) {
                unsigned run = 0;
                while (i < n && cLen[i] == 0) {
                    ++i;
                    ++run;
                }
                if (run <= 2)
                    tFreq[0] += run;
                else if (run <= 18)
                    ++tFreq[1];
                else if (run == 19) {
                    ++tFreq[0];
                    ++tFreq[1];
                } else
                    ++tFreq[2];
            } else {
                ++tFreq[cLen[i++] + 2];
            }
        }
        std::uint8_t tLen[kNT];
        std::uint16_t tCode[kNT];
        unsigned tSingle = 0;
        if (buildCodeLengths(tFreq, kNT, kMaxCodeLength, tLen, tSingle) <= 1) {
            writeSingle(kTBit, tSingle);
            std::memset(tCode, 0, sizeof tCode);
        } else {
            assignCanonicalCodes(tLen, kNT, tCode);
            writeLengths(tLen, kNT, kTBit, kTSpecial);
        }
        auto putT = [&](unsigned t) { bits_.put(tLen[t], tCode[t]); };
        bits_.put(kCBit, n);
        for (unsigned i = 0; i < n;) {
            if (cLen[i] == 0) {
                unsigned run = 0;
                while (i < n && cLen[i] == 0) {
                    ++i;
                    ++run;
                }
                if (run <= 2) {
                    for (unsigned r = 0; r < run; ++r)
                        putT(0);
                } else if (run <= 18) {
                    putT(1);
                    bits_.put(4, run - 3);
                } else if (run == 19) {
                    putT(0);
                    putT(1);
                    bits_.put(4, 15);
                } else {
                    putT(2);
                    bits_.put(kCBit, run - 20);
                }
            } else {
                putT(cLen[i++] + 2u);
            }
        }
    }

    std::uint8_t pLen[kMaxNP];
    std::uint16_t pCode[kMaxNP];
    unsigned pSingle = 0;
    if (buildCodeLengths(pFreq_, np_, kMaxCodeLength, pLen, pSingle) <= 1) {
        writeSingle(pbit_, pSingle);
        std::memset(pCode, 0, sizeof pCode);
    } else {
        assignCanonicalCodes(pLen, np_, pCode);
        writeLengths(pLen, np_, pbit_, -1);
    }

    // Codes gather in a local accumulator and go to the writer 32 bits at a time: the writer's byte
    // stores may alias its own state, which would otherwise be reloaded for every code.
    std::uint64_t acc = 0;
    unsigned nAcc = 0;
    auto add = [&](unsigned n, std::uint32_t v) {   // n <= 31
        acc = (acc << n) | v;
        nAcc += n;
        if (nAcc >= 32) {
            nAcc -= 32;
            bits_.put(32, static_cast<std::uint32_t>(acc >> nAcc));
        }
    };
    const std::uint16_t* const syms = syms_.data();
    const std::uint16_t* const offs = offs_.data();
    for (unsigned i = 0, n = count_; i < n; ++i) {
        const unsigned c = syms[i];
        add(cLen[c], cCode[c]);
        if (c >= 256) {
            const unsigned off = offs[i];
            const unsigned q = static_cast<unsigned>(std::bit_width(off));
            // Slot code and the offset bits below the leading one, in one go (at most 16 + 15 bits).
            const unsigned extra = q > 1 ? q - 1 : 0;
            add(pLen[q] + extra, (static_cast<std::uint32_t>(pCode[q]) << extra) | (off & ((1u << extra) - 1)));
        }
    }
    if (nAcc)
        bits_.put(nAcc, static_cast<std::uint32_t>(acc & ((std::uint64_t{1} << nAcc) - 1)));

    updatePrices(cLen, pLen);
    count_ = 0;
    std::memset(cFreq_, 0, sizeof cFreq_);
    std::memset(pFreq_, 0, sizeof pFreq_);
    if (opt_.stopWhenExpanding && emitted_ >= (1u << 15) && bits_.bitCount() >= emitted_ * 8)
        expanded_ = true;
}

EncodeResult Encoder::run()
{
    std::uint32_t pos = 0;
    bool pending = false;   // a literal or match starting at pos - 1 is waiting for the lazy decision
    unsigned prevLen = 0;
    std::uint32_t prevDist = 0;
    int prevScore = 0;

    for (;;) {
        if (expanded_)
            break;
        ensureLookahead(pos);
        const std::uint32_t avail = end_ - pos;
        if (avail == 0)
            break;
        unsigned curLen = 0;
        std::uint32_t curDist = 0;
        int curScore = 0;
        if (avail >= kMinMatch) {
            std::uint32_t cand3 = 0;
            const std::uint32_t cand = insert(pos, cand3);
            if (!pending || prevLen < tune_.lazyLen)
                curLen = findMatch(pos, cand, cand3, avail, pending ? prevLen : 0, curDist, curScore);
        }
        if (pending && prevLen >= kMinMatch && (curLen == 0 || curScore <= prevScore)) {
            match(prevLen, prevDist);
            const std::uint32_t stop = pos - 1 + prevLen;
            const std::uint32_t insertEnd = std::min(stop, end_ - (kMinMatch - 1));
            for (std::uint32_t p = pos + 1; p < insertEnd; ++p)
                insert(p);
            pos = stop;
            pending = false;
            prevLen = 0;
        } else {
            if (pending)
                literal(at(pos - 1)[0]);
            pending = true;
            prevLen = curLen;
            prevDist = curDist;
            prevScore = curScore;
            ++pos;
        }
    }
    if (!expanded_) {
        if (pending)
            literal(at(pos - 1)[0]);
        flushBlock();
    }
    bits_.finish();

    EncodeResult r;
    r.inputSize = totalIn_;
    r.packedSize = bits_.bitCount() / 8;
    r.crc = crc_;
    r.expanded = expanded_;
    return r;
}

} // namespace

EncodeResult encodeLzh(Method method, Reader& in, Writer& out, const EncodeOptions& options)
{
    if (method == Method::Lh0 || method == Method::Directory)
        throw Error(ErrorCode::Internal, "not a packing method");
    Encoder enc(method, in, out, options);
    return enc.run();
}

} // namespace lha
