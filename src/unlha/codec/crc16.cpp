// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/crc16.h"

#include <array>
#include <cstring>

namespace lha {

namespace {

// Eight tables so that eight input bytes are folded in per step; the checksum runs over every byte
// packed or unpacked, so it must not be the slow part.
struct Tables {
    std::array<std::array<std::uint16_t, 256>, 8> t{};
    constexpr Tables()
    {
        for (unsigned i = 0; i < 256; ++i) {
            unsigned c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
            t[0][i] = static_cast<std::uint16_t>(c);
        }
        for (unsigned i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k)
                t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
    }
};

constexpr Tables kTables;

} // namespace

std::uint16_t crc16Update(std::uint16_t crc, const std::uint8_t* p, std::size_t n)
{
    const auto& t = kTables.t;
    std::uint32_t c = crc;
    while (n >= 8) {
        std::uint32_t lo = static_cast<std::uint32_t>(p[0] | (p[1] << 8)) ^ c;
        c = t[7][lo & 0xFF] ^ t[6][lo >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]]
            ^ t[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--)
        c = (c >> 8) ^ t[0][(c ^ *p++) & 0xFF];
    return static_cast<std::uint16_t>(c);
}

} // namespace lha
