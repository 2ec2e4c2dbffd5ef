// SPDX-License-Identifier: GPL-3.0-or-later
// One-file LHA archives: packing a stream into an archive and unpacking an archive's file.
#pragma once

#include "codec/lha_header.h"
#include "codec/lha_types.h"

#include <cstdint>
#include <optional>
#include <string>

namespace lha {

struct PackInfo {
    std::string name;                      // bytes to store as the file name (no directory)
    std::int64_t mtime = 0;                // seconds since 1970, UTC
    std::optional<std::uint16_t> unixMode; // st_mode, when the host has one
    std::optional<std::uint8_t> dosAttributes;   // read-only, hidden, system, archive bits, when the host has them
};

// Writes a complete archive holding `src` to `out`, starting at out's current position. Uses `method`
// unless the data does not shrink, in which case it is stored (-lh0-). Returns the header as written.
EntryHeader writeArchive(Source& src, Target& out, const PackInfo& info, Method method);

// Unpacks the first file of the archive into `out` and checks its CRC. Directory entries are skipped.
// Throws Error on any damage; `out` may then hold partial data, which the caller must discard.
EntryHeader extractFirstFile(Reader& archive, Writer& out);

} // namespace lha
