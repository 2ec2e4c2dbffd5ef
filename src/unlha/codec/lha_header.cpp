// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec/lha_header.h"

#include "codec/crc16.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>

namespace lha {

MethodParams methodParams(Method m)
{
    switch (m) {
    case Method::Lh4:
        return {12, 14, 4};
    case Method::Lh5:
        return {13, 14, 4};
    case Method::Lh6:
        return {15, 16, 5};
    case Method::Lh7:
        return {16, 17, 5};
    default:
        return {0, 0, 0};
    }
}

const char* methodId(Method m)
{
    switch (m) {
    case Method::Lh0:
        return "-lh0-";
    case Method::Lh4:
        return "-lh4-";
    case Method::Lh5:
        return "-lh5-";
    case Method::Lh6:
        return "-lh6-";
    case Method::Lh7:
        return "-lh7-";
    case Method::Directory:
        return "-lhd-";
    }
    return "-lh0-";
}

bool parseMethodId(const std::uint8_t* id, Method& out)
{
    static constexpr Method all[] = {Method::Lh0, Method::Lh4, Method::Lh5, Method::Lh6, Method::Lh7,
                                     Method::Directory};
    for (Method m : all) {
        if (std::memcmp(id, methodId(m), 5) == 0) {
            out = m;
            return true;
        }
    }
    return false;
}

std::size_t readFully(Reader& in, std::uint8_t* buf, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const std::size_t got = in.read(buf + done, size - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

namespace {

[[noreturn]] void badHeader(const char* what)
{
    throw Error(ErrorCode::BadHeader, std::string("damaged archive header: ") + what);
}

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
           | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t get64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(get32(p)) | (static_cast<std::uint64_t>(get32(p + 4)) << 32);
}
void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

// Splits a stored path (separators '\', '/' or 0xFF) into directory and base name.
void setPath(EntryHeader& h, const std::string& path)
{
    std::string p = path;
    for (char& c : p)
        if (c == '\\' || c == static_cast<char>(0xFF))
            c = '/';
    // A '\' can be the second byte of a Shift-JIS character; only split outside double-byte pairs.
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(path[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            ++i;
            continue;
        }
        if (b == '\\' || b == '/' || b == 0xFF)
            cut = i;
    }
    if (cut == std::string::npos) {
        h.name = path;
    } else {
        h.directory = p.substr(0, cut);
        h.name = path.substr(cut + 1);
    }
}

void applyExtension(EntryHeader& h, std::uint8_t type, const std::uint8_t* d, std::size_t n)
{
    switch (type) {
    case 0x01:
        h.name.assign(reinterpret_cast<const char*>(d), n);
        break;
    case 0x02: {
        std::string dir(reinterpret_cast<const char*>(d), n);
        for (char& c : dir)
            if (c == static_cast<char>(0xFF))
                c = '/';
        while (!dir.empty() && dir.back() == '/')
            dir.pop_back();
        h.directory = dir;
        break;
    }
    case 0x40:
        if (n >= 1)
            h.dosAttributes = d[0];
        break;
    case 0x42:
        if (n >= 16) {
            h.packedSize = get64(d);
            h.originalSize = get64(d + 8);
        }
        break;
    case 0x50:
        if (n >= 2)
            h.unixMode = get16(d);
        break;
    case 0x54:
        if (n >= 4)
            h.mtime = get32(d);
        break;
    default:
        break;
    }
}

constexpr std::size_t kMaxLevel1Extensions = 1 << 20;   // bytes; far beyond any real header

} // namespace

std::int64_t dosTimeToUnix(std::uint32_t dos)
{
    std::tm tm{};
    tm.tm_sec = static_cast<int>((dos & 0x1F) * 2);
    tm.tm_min = static_cast<int>((dos >> 5) & 0x3F);
    tm.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
    tm.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
    tm.tm_mon = static_cast<int>(((dos >> 21) & 0x0F)) - 1;
    tm.tm_year = static_cast<int>(((dos >> 25) & 0x7F)) + 80;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? 0 : static_cast<std::int64_t>(t);
}

std::vector<std::uint8_t> buildLevel2Header(const EntryHeader& h)
{
    struct Ext {
        std::uint8_t type;
        std::vector<std::uint8_t> payload;
    };
    std::vector<Ext> exts;
    exts.push_back({0x00, {0, 0}});
    exts.push_back({0x01, std::vector<std::uint8_t>(h.name.begin(), h.name.end())});
    if (h.dosAttributes)
        exts.push_back({0x40, {*h.dosAttributes, 0x00}});
    if (h.unixMode)
        exts.push_back({0x50, {static_cast<std::uint8_t>(*h.unixMode), static_cast<std::uint8_t>(*h.unixMode >> 8)}});
    auto total = [&] {
        std::size_t s = 26;
        for (const Ext& e : exts)
            s += 3 + e.payload.size();
        return s;
    };
    // A size that is a multiple of 256 is ambiguous to some readers. Without attributes, an attribute
    // extension (normal file) makes the header five bytes longer; with them, the header CRC extension
    // gets one byte more (readers take its first two).
    if (total() % 256 == 0) {
        if (h.dosAttributes)
            exts.front().payload.push_back(0);
        else
            exts.push_back({0x40, {0x20, 0x00}});
    }
    const std::size_t size = total();
    if (size > 0xFFFF)
        throw Error(ErrorCode::BadCommand, "file name too long");

    std::vector<std::uint8_t> out(size, 0);
    std::uint8_t* p = out.data();
    put16(p, static_cast<std::uint32_t>(size));
    std::memcpy(p + 2, methodId(h.method), 5);
    put32(p + 7, static_cast<std::uint32_t>(h.packedSize));
    put32(p + 11, static_cast<std::uint32_t>(h.originalSize));
    put32(p + 15, static_cast<std::uint32_t>(std::clamp<std::int64_t>(h.mtime, 0, 0xFFFFFFFFll)));
    p[19] = 0x20;
    p[20] = 2;
    put16(p + 21, h.crc);
    p[23] = static_cast<std::uint8_t>(h.osId);
    std::size_t off = 24;
    std::size_t crcPos = 0;
    for (const Ext& e : exts) {
        put16(p + off, static_cast<std::uint32_t>(3 + e.payload.size()));
        off += 2;
        p[off] = e.type;
        if (e.type == 0x00)
            crcPos = off + 1;
        std::memcpy(p + off + 1, e.payload.data(), e.payload.size());
        off += 1 + e.payload.size();
    }
    put16(p + off, 0);
    put16(p + crcPos, crc16(p, size));
    return out;
}

bool readHeader(Reader& in, EntryHeader& h)
{
    h = EntryHeader{};
    std::array<std::uint8_t, 65536> buf;
    if (readFully(in, buf.data(), 1) == 0 || buf[0] == 0)
        return false;
    if (readFully(in, buf.data() + 1, 20) < 20)
        badHeader("truncated");
    if (buf[2] != '-' || buf[6] != '-')
        badHeader("not an LHA header");
    h.methodText.assign(reinterpret_cast<const char*>(buf.data() + 2), 5);
    const bool known = parseMethodId(buf.data() + 2, h.method);
    h.level = buf[20];
    h.packedSize = get32(buf.data() + 7);
    h.originalSize = get32(buf.data() + 11);
    const std::uint32_t stamp = get32(buf.data() + 15);

    if (h.level == 0 || h.level == 1) {
        const std::size_t total = static_cast<std::size_t>(buf[0]) + 2;
        const std::size_t minimum = h.level == 0 ? 24 : 27;
        if (total < minimum)
            badHeader("too short");
        if (readFully(in, buf.data() + 21, total - 21) < total - 21)
            badHeader("truncated");
        unsigned sum = 0;
        for (std::size_t i = 2; i < total; ++i)
            sum += buf[i];
        if ((sum & 0xFF) != buf[1])
            badHeader("checksum mismatch");
        const std::size_t n = buf[21];
        if (22 + n + (minimum - 22) > total)
            badHeader("bad name length");
        setPath(h, std::string(reinterpret_cast<const char*>(buf.data() + 22), n));
        h.crc = get16(buf.data() + 22 + n);
        h.mtime = dosTimeToUnix(stamp);
        h.dosAttributes = buf[19];
        h.headerSize = total;
        if (h.level == 0) {
            h.osId = 0;
            // Optional extended area written by Unix tools: OS id, minor version, time, mode, uid, gid.
            const std::size_t extra = total - (24 + n);
            const std::uint8_t* x = buf.data() + 24 + n;
            if (extra >= 1)
                h.osId = static_cast<char>(x[0]);
            if (extra >= 8 && x[0] == 'U')
                h.mtime = get32(x + 2);
            if (extra >= 10 && x[0] == 'U')
                h.unixMode = get16(x + 6);
        } else {
            h.osId = static_cast<char>(buf[24 + n]);
            std::size_t next = get16(buf.data() + total - 2);
            std::uint64_t extBytes = 0;
            while (next != 0) {
                if (next < 3)
                    badHeader("bad extension size");
                if (readFully(in, buf.data(), next) < next)
                    badHeader("truncated");
                extBytes += next;
                if (extBytes > kMaxLevel1Extensions)
                    badHeader("too many extensions");
                if (buf[0] == 0x00) {
                    // Header CRC of level 1 headers covers the base header too; it is not checked here
                    // because the base header has its own checksum.
                } else {
                    applyExtension(h, buf[0], buf.data() + 1, next - 3);
                }
                next = get16(buf.data() + next - 2);
            }
            if (extBytes > h.packedSize)
                badHeader("extensions larger than the entry");
            h.packedSize -= extBytes;
            h.headerSize += extBytes;
        }
    } else if (h.level == 2) {
        const std::size_t total = get16(buf.data());
        if (total < 26)
            badHeader("too short");
        if (readFully(in, buf.data() + 21, total - 21) < total - 21)
            badHeader("truncated");
        h.mtime = stamp;
        h.crc = get16(buf.data() + 21);
        h.osId = static_cast<char>(buf[23]);
        h.headerSize = total;
        std::size_t next = get16(buf.data() + 24);
        std::size_t off = 26;
        std::size_t crcPos = 0;
        while (next != 0) {
            if (next < 3 || off + next > total)
                badHeader("bad extension size");
            const std::uint8_t type = buf[off];
            if (type == 0x00) {
                if (next < 5)
                    badHeader("bad header CRC field");
                crcPos = off + 1;
            } else {
                applyExtension(h, type, buf.data() + off + 1, next - 3);
            }
            const std::size_t size = next;
            next = get16(buf.data() + off + size - 2);
            off += size;
        }
        if (crcPos) {
            const std::uint16_t stored = get16(buf.data() + crcPos);
            buf[crcPos] = buf[crcPos + 1] = 0;
            if (crc16(buf.data(), total) != stored)
                badHeader("header CRC mismatch");
        }
    } else {
        throw Error(ErrorCode::UnsupportedMethod, "unsupported header level " + std::to_string(h.level));
    }
    if (!known)
        throw Error(ErrorCode::UnsupportedMethod, "unsupported method " + h.methodText);
    return true;
}

} // namespace lha
