// SPDX-License-Identifier: GPL-3.0-or-later
// Constants of the -lhN- bit stream, shared by the packer and the unpacker.
#pragma once

namespace lha::format {

constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 256;
constexpr unsigned kNC = 256 + kMaxMatch - kMinMatch + 1;   // literals and match lengths: 510
constexpr unsigned kCBit = 9;                                // width of the literal/length table count
constexpr unsigned kNT = 19;                                 // symbols of the table that codes the C lengths
constexpr unsigned kTBit = 5;
constexpr unsigned kTSpecial = 3;   // after this many T lengths, a 2-bit run of zero lengths follows
constexpr unsigned kMaxNP = 17;

} // namespace lha::format
