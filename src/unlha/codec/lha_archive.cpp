// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/lha_archive.h"

#include "codec/crc16.h"
#include "codec/lzh_decoder.h"
#include "codec/lzh_encoder.h"

#include <memory>
#include <vector>

namespace lha {

namespace {

class NullWriter : public Writer {
public:
    void write(const std::uint8_t*, std::size_t) override {}
};

// Passes at most `limit` bytes of the underlying reader through.
class LimitedReader : public Reader {
public:
    LimitedReader(Reader& in, std::uint64_t limit) : in_(in), left_(limit) {}
    std::size_t read(std::uint8_t* buf, std::size_t size) override
    {
        if (left_ == 0)
            return 0;
        if (size > left_)
            size = static_cast<std::size_t>(left_);
        const std::size_t got = in_.read(buf, size);
        left_ -= got;
        return got;
    }

private:
    Reader& in_;
    std::uint64_t left_;
};

} // namespace

EntryHeader writeArchive(Source& src, Target& out, const PackInfo& info, Method method)
{
    EntryHeader h;
    h.method = method;
    h.name = info.name;
    h.mtime = info.mtime;
    h.unixMode = info.unixMode;
    h.dosAttributes = info.dosAttributes;
#ifdef _WIN32
    h.osId = 'W';
#else
    h.osId = 'U';
#endif
    const std::uint64_t headerPos = out.tell();
    std::vector<std::uint8_t> header = buildLevel2Header(h);
    out.write(header.data(), header.size());
    const std::uint64_t dataPos = out.tell();

    bool stored = method == Method::Lh0;
    if (!stored) {
        const EncodeResult r = encodeLzh(method, src, out);
        if (!r.expanded && r.packedSize < r.inputSize) {
            h.packedSize = r.packedSize;
            h.originalSize = r.inputSize;
            h.crc = r.crc;
        } else {
            stored = true;
            out.seek(dataPos);
            out.truncateHere();
            src.rewind();
        }
    }
    if (stored) {
        h.method = Method::Lh0;
        // Copy until the end of the input, refusing what the 32-bit size fields cannot describe.
        // Only what a read filled is used: not cleared first.
        constexpr std::size_t kPiece = std::size_t{1} << 18;
        const std::unique_ptr<std::uint8_t[]> piece(new std::uint8_t[kPiece]);
        std::uint8_t* const buf = piece.get();
        std::uint64_t total = 0;
        std::uint16_t crc = 0;
        for (;;) {
            const std::size_t got = src.read(buf, kPiece);
            if (got == 0)
                break;
            total += got;
            if (total > 0xFFFFFFFFull)
                throw Error(ErrorCode::TooLarge, "file too large for an LHA archive");
            crc = crc16Update(crc, buf, got);
            out.write(buf, got);
        }
        h.crc = crc;
        h.packedSize = h.originalSize = total;
    }
    const std::uint8_t end = 0;
    out.write(&end, 1);
    const std::uint64_t endPos = out.tell();
    header = buildLevel2Header(h);
    out.seek(headerPos);
    out.write(header.data(), header.size());
    out.seek(endPos);
    return h;
}

EntryHeader extractFirstFile(Reader& archive, Writer& out)
{
    EntryHeader h;
    for (;;) {
        if (!readHeader(archive, h))
            throw Error(ErrorCode::NoEntry, "the archive holds no file");
        if (h.method != Method::Directory)
            break;
        LimitedReader skip(archive, h.packedSize);
        NullWriter sink;
        copyStored(skip, h.packedSize, sink);
    }
    LimitedReader data(archive, h.packedSize);
    std::uint16_t crc = 0;
    if (h.method == Method::Lh0) {
        if (h.packedSize != h.originalSize)
            throw Error(ErrorCode::BadHeader, "damaged archive header: stored sizes differ");
        crc = copyStored(data, h.originalSize, out);
    } else {
        crc = decodeLzh(h.method, data, h.packedSize, h.originalSize, out);
    }
    if (crc != h.crc)
        throw Error(ErrorCode::BadData, "damaged archive: CRC mismatch");
    return h;
}

} // namespace lha
