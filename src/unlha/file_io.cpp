// SPDX-License-Identifier: GPL-3.0-or-later
// The part of the files that does not depend on the host: buffering in front of the output.
#include "file_io.h"

#include <cstring>

namespace unlha {

void AtomicOutputFile::drain()
{
    if (used_ == 0)
        return;
    writeThrough(buf_.get(), used_);
    used_ = 0;
}

void AtomicOutputFile::write(const std::uint8_t* data, std::size_t size)
{
    if (used_ + size > kBufferSize) {
        drain();
        if (size >= kBufferSize) {
            // Large writes go straight to the file.
            writeThrough(data, size);
            pos_ += size;
            return;
        }
    }
    std::memcpy(buf_.get() + used_, data, size);
    used_ += size;
    pos_ += size;
}

std::uint64_t AtomicOutputFile::tell()
{
    return pos_;
}

} // namespace unlha
