// SPDX-License-Identifier: GPL-3.0-or-later
// Unpacker for the -lh4- to -lh7- methods.
#pragma once

#include "codec/lha_types.h"

#include <cstdint>

namespace lha {

// Unpacks `originalSize` bytes from exactly `packedSize` bytes of `in` into `out` and returns the CRC-16
// of what it produced. Memory use is fixed, whatever the sizes claim. Throws Error(BadData) when the
// stream is malformed or ends early.
std::uint16_t decodeLzh(Method method, Reader& in, std::uint64_t packedSize, std::uint64_t originalSize,
                        Writer& out);

// Copies `size` bytes unchanged (-lh0-), returning their CRC-16.
std::uint16_t copyStored(Reader& in, std::uint64_t size, Writer& out);

} // namespace lha
