// SPDX-License-Identifier: GPL-3.0-or-later
// LHA entry headers: writing level 2, reading levels 0, 1 and 2.
#pragma once

#include "codec/lha_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lha {

struct EntryHeader {
    Method method = Method::Lh5;
    std::string methodText;            // the five method bytes as found, for messages
    std::uint64_t packedSize = 0;      // of the data only (extension headers excluded)
    std::uint64_t originalSize = 0;
    std::int64_t mtime = 0;            // seconds since 1970, UTC
    std::uint16_t crc = 0;             // CRC-16 of the original data
    std::string name;                  // file name bytes as stored (CP932 on Japanese systems), no directory
    std::string directory;             // directory bytes with '/' separators, if any
    std::optional<std::uint16_t> unixMode;
    std::optional<std::uint8_t> dosAttributes;   // levels 0/1: the attribute byte; level 2: extension 0x40
    unsigned level = 2;
    char osId = 'U';
    std::size_t headerSize = 0;        // bytes of header read or written, extensions included
};

// Serialises a level-2 header. The header is never a multiple of 256 bytes long (some readers take such
// a size as "padded"); its length depends only on the name, not on the sizes, so it can be rewritten in
// place once the data is known.
std::vector<std::uint8_t> buildLevel2Header(const EntryHeader& h);

// Reads the next header. Returns false at the end of the archive (a 0 byte or the end of the input).
// Throws Error(BadHeader) on a malformed header and Error(UnsupportedMethod) on an unknown method or level.
bool readHeader(Reader& in, EntryHeader& out);

// MS-DOS local date/time, as levels 0 and 1 store it, to Unix time.
std::int64_t dosTimeToUnix(std::uint32_t dos);

} // namespace lha
