// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the archive reader (and the command-line parser). Any crash, sanitizer report,
// hang or runaway allocation is a bug; lha::Error is the expected outcome for damaged input.
#include "codec/command_line.h"
#include "codec/lha_archive.h"
#include "codec/memory_io.h"

#include <cstdint>
#include <string_view>

namespace {

// Discards output, but stops a tiny input from keeping the fuzzer busy unpacking gigabytes.
class CappedSink : public lha::Writer {
public:
    void write(const std::uint8_t* data, std::size_t size) override
    {
        total_ += size;
        if (size)
            sink_ ^= data[size - 1];
        if (total_ > (32u << 20))
            throw lha::Error(lha::ErrorCode::BadData, "output cap reached");
    }

private:
    std::uint64_t total_ = 0;
    volatile std::uint8_t sink_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lha::MemorySource in(data, size);
    CappedSink out;
    try {
        lha::extractFirstFile(in, out);
    } catch (const lha::Error&) {
    }
    if (size < 512)
        (void)lha::parseCommandLine(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
