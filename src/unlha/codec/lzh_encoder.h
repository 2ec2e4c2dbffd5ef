// SPDX-License-Identifier: GPL-3.0-or-later
// Sliding-dictionary + Huffman packer for the -lh4- to -lh7- methods.
#pragma once

#include "codec/lha_types.h"

#include <cstdint>

namespace lha {

struct EncodeOptions {
    // Give up (and report `expanded`) as soon as, at a block boundary after the first 32 KiB, the output
    // is not smaller than the input read so far: such data is better stored, and giving up early keeps
    // storing it almost as fast as copying.
    bool stopWhenExpanding = true;
    // Inputs larger than this are refused with ErrorCode::TooLarge.
    std::uint64_t maxInput = 0xFFFFFFFFull;
};

struct EncodeResult {
    std::uint64_t inputSize = 0;
    std::uint64_t packedSize = 0;
    std::uint16_t crc = 0;
    bool expanded = false;   // stopped early because the data does not shrink; the output is incomplete
};

EncodeResult encodeLzh(Method method, Reader& in, Writer& out, const EncodeOptions& options = {});

} // namespace lha
