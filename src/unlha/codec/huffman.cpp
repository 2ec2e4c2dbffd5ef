// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/huffman.h"

#include <algorithm>
#include <cstring>

namespace lha {

unsigned buildCodeLengths(const std::uint32_t* freq, unsigned n, unsigned limit, std::uint8_t* lengths,
                          unsigned& singleSymbol)
{
    std::memset(lengths, 0, n);
    // Leaves sorted by ascending frequency (ties by symbol, to keep the output deterministic).
    std::vector<std::uint32_t> leaves;
    leaves.reserve(n);
    for (unsigned i = 0; i < n; ++i)
        if (freq[i])
            leaves.push_back(i);
    const unsigned used = static_cast<unsigned>(leaves.size());
    if (used == 0)
        return 0;
    if (used == 1) {
        singleSymbol = leaves[0];
        return 1;
    }
    std::stable_sort(leaves.begin(), leaves.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return freq[a] < freq[b]; });

    // Two-queue Huffman construction: leaves are consumed in order, internal nodes are created in
    // non-decreasing weight order, so the smallest two are always at one of the two queue heads.
    const unsigned internalCount = used - 1;
    std::vector<std::uint64_t> weight(internalCount);
    std::vector<std::uint32_t> parent(used + internalCount, 0);   // leaves first, then internal nodes
    unsigned li = 0, ii = 0;
    for (unsigned k = 0; k < internalCount; ++k) {
        unsigned pick[2];
        std::uint64_t w = 0;
        for (unsigned& p : pick) {
            const bool takeLeaf = li < used && (ii >= k || freq[leaves[li]] <= weight[ii]);
            if (takeLeaf) {
                w += freq[leaves[li]];
                p = li++;
            } else {
                w += weight[ii];
                p = used + ii++;
            }
        }
        weight[k] = w;
        parent[pick[0]] = parent[pick[1]] = used + k;
    }
    // Depths: the root is the last internal node; parents always come after their children.
    std::vector<std::uint32_t> depth(used + internalCount, 0);
    for (unsigned k = used + internalCount - 1; k-- > 0;)
        depth[k] = depth[parent[k]] + 1;

    // Count leaves per length, folding the overlong ones into the limit, then restore the Kraft sum
    // by moving leaves down from shorter levels.
    unsigned count[64] = {};
    for (unsigned i = 0; i < used; ++i)
        ++count[std::min<std::uint32_t>(depth[i], limit)];
    std::uint64_t kraft = 0;
    for (unsigned l = 1; l <= limit; ++l)
        kraft += static_cast<std::uint64_t>(count[l]) << (limit - l);
    while (kraft > (std::uint64_t{1} << limit)) {
        unsigned l = limit - 1;
        while (count[l] == 0)
            --l;
        --count[limit];
        --count[l];
        count[l + 1] += 2;
        --kraft;
    }
    // Most frequent symbols get the shortest codes. `leaves` is ascending, so walk it backwards.
    unsigned idx = used;
    for (unsigned l = 1; l <= limit; ++l)
        for (unsigned c = 0; c < count[l]; ++c)
            lengths[leaves[--idx]] = static_cast<std::uint8_t>(l);
    return used;
}

void assignCanonicalCodes(const std::uint8_t* lengths, unsigned n, std::uint16_t* codes)
{
    unsigned count[kMaxCodeLength + 1] = {};
    for (unsigned i = 0; i < n; ++i)
        ++count[lengths[i]];
    count[0] = 0;
    unsigned next[kMaxCodeLength + 2] = {};
    unsigned code = 0;
    for (unsigned l = 1; l <= kMaxCodeLength; ++l) {
        code = (code + count[l - 1]) << 1;
        next[l] = code;
    }
    for (unsigned i = 0; i < n; ++i)
        codes[i] = lengths[i] ? static_cast<std::uint16_t>(next[lengths[i]]++) : 0;
}

DecodeTable::DecodeTable(unsigned rootBits, unsigned maxSymbols)
    : rootBits_(rootBits),
      // The root table plus one second-level table per symbol at most.
      entries_((1u << rootBits) + maxSymbols * (1u << (kMaxCodeLength - rootBits)), 0)
{
}

void DecodeTable::buildSingle(unsigned symbol)
{
    const std::uint32_t e = (kLeaf << 24) | (symbol & 0xFFFF);
    std::fill(entries_.begin(), entries_.begin() + (1u << rootBits_), e);
}

bool DecodeTable::build(const std::uint8_t* lengths, unsigned n)
{
    unsigned count[kMaxCodeLength + 1] = {};
    for (unsigned i = 0; i < n; ++i) {
        if (lengths[i] > kMaxCodeLength)
            return false;
        ++count[lengths[i]];
    }
    count[0] = 0;
    std::uint32_t space = 0;
    for (unsigned l = 1; l <= kMaxCodeLength; ++l)
        space += count[l] << (kMaxCodeLength - l);
    if (space > (1u << kMaxCodeLength))
        return false;

    unsigned next[kMaxCodeLength + 2] = {};
    unsigned code = 0;
    for (unsigned l = 1; l <= kMaxCodeLength; ++l) {
        code = (code + count[l - 1]) << 1;
        next[l] = code;
    }

    const unsigned rb = rootBits_;
    const unsigned subBits = kMaxCodeLength - rb;
    std::uint32_t* root = entries_.data();
    std::fill(root, root + (1u << rb), 0u);
    unsigned subUsed = 0;
    const unsigned subBase = 1u << rb;

    // Short codes first (canonical order), so second-level tables are created after the root entries
    // they hang from are known to be free.
    for (unsigned l = 1; l <= kMaxCodeLength; ++l) {
        for (unsigned s = 0; s < n; ++s) {
            if (lengths[s] != l)
                continue;
            const unsigned c = next[l]++;
            const std::uint32_t leaf = (kLeaf << 24) | (l << 16) | s;
            if (l <= rb) {
                const unsigned first = c << (rb - l);
                std::fill(root + first, root + first + (1u << (rb - l)), leaf);
            } else {
                const unsigned prefix = c >> (l - rb);
                std::uint32_t& r = root[prefix];
                if (kind(r) != kSub) {
                    const unsigned off = subBase + subUsed * (1u << subBits);
                    ++subUsed;
                    std::fill(root + off, root + off + (1u << subBits), 0u);
                    r = (kSub << 24) | off;
                }
                std::uint32_t* sub = root + value(r);
                const unsigned low = c & ((1u << (l - rb)) - 1);
                const unsigned first = low << (kMaxCodeLength - l);
                std::fill(sub + first, sub + first + (1u << (kMaxCodeLength - l)), leaf);
            }
        }
    }
    return true;
}

} // namespace lha
