// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-16 as used by LHA archives: reflected polynomial 0xA001, initial value 0, no final XOR.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lha {

std::uint16_t crc16Update(std::uint16_t crc, const std::uint8_t* data, std::size_t size);

inline std::uint16_t crc16(const std::uint8_t* data, std::size_t size)
{
    return crc16Update(0, data, size);
}

} // namespace lha
