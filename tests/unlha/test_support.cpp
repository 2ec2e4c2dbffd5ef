// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include "codec/lha_archive.h"
#include "codec/memory_io.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>

namespace lhatest {

namespace fs = std::filesystem;

Bytes textData(std::size_t size)
{
    static const char* words[] = {"the", "archive", "holds", "one", "file", "and", "its", "date", "backup",
                                  "restore", "volume", "directory", "copy", "of", "a", "to", "with", "when",
                                  "compressed", "original", "header", "checksum", "window", "table"};
    std::mt19937 rng(42);
    std::string s;
    s.reserve(size + 64);
    while (s.size() < size) {
        const int n = 5 + static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i) {
            s += words[rng() % (sizeof words / sizeof *words)];
            s += i + 1 < n ? " " : ".\n";
        }
    }
    s.resize(size);
    return Bytes(s.begin(), s.end());
}

Bytes binaryData(std::size_t size)
{
    std::mt19937 rng(7);
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) {
        switch ((i / 512) % 4) {
        case 0:
            b[i] = static_cast<std::uint8_t>(i & 0x0F);
            break;
        case 1:
            b[i] = static_cast<std::uint8_t>((i * 7) >> 3);
            break;
        case 2:
            b[i] = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() : 0);
            break;
        default:
            b[i] = static_cast<std::uint8_t>(rng());
            break;
        }
    }
    return b;
}

Bytes randomData(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(rng());
    return b;
}

Bytes packToMemory(const Bytes& data, lha::Method method, const std::string& name, std::int64_t mtime)
{
    lha::MemorySource src(data);
    lha::MemoryTarget out;
    lha::PackInfo info;
    info.name = name;
    info.mtime = mtime;
    info.unixMode = 0100644;
    lha::writeArchive(src, out, info, method);
    return out.data;
}

Bytes unpackFromMemory(const Bytes& archive)
{
    class VectorWriter : public lha::Writer {
    public:
        void write(const std::uint8_t* d, std::size_t n) override { data.insert(data.end(), d, d + n); }
        Bytes data;
    } out;
    lha::MemorySource in(archive);
    lha::extractFirstFile(in, out);
    return out.data;
}

fs::path u8path(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8(const fs::path& p)
{
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

void writeFile(const fs::path& p, const Bytes& data)
{
    std::FILE* f = openFile(p, "wb");
    if (!f)
        throw std::runtime_error("cannot write " + utf8(p));
    const bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    if (std::fclose(f) != 0 || !ok)
        throw std::runtime_error("cannot write " + utf8(p));
}

Bytes readFile(const fs::path& p)
{
    std::FILE* f = openFile(p, "rb");
    if (!f)
        throw std::runtime_error("cannot read " + utf8(p));
    Bytes data;
    std::uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.insert(data.end(), buf, buf + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        throw std::runtime_error("cannot read " + utf8(p));
    return data;
}

std::vector<std::string> listDir(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(utf8(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

int unlha(const std::string& cmdLine, std::string* message)
{
    char out[256] = {};
    const int r = library().unlha(nullptr, cmdLine.c_str(), out, sizeof out);
    if (message)
        *message = out;
    return r;
}

std::string packCommand(const std::string& archive, const std::string& source)
{
    return "a -n -a1 -jss -jyko -gm1 \"" + archive + "\" \"" + source + "\"";
}

std::string extractCommand(const std::string& archive, const std::string& target)
{
    return "e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 \"" + archive + "\" \"" + target + "\"";
}

CurrentDir::CurrentDir(const fs::path& p) : saved_(fs::current_path())
{
    fs::current_path(p);
}

CurrentDir::~CurrentDir()
{
    std::error_code ec;
    fs::current_path(saved_, ec);
}

} // namespace lhatest
