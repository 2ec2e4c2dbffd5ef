// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzzer's seed corpus: archives made by the library itself for each method and several
// data shapes, plus the same packed data under level-0 and level-1 headers.
// Usage: lha_fuzz_seeds DIRECTORY
#include "codec/crc16.h"
#include "codec/lha_archive.h"
#include "codec/memory_io.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pack(const Bytes& data, lha::Method m)
{
    lha::MemorySource src(data);
    lha::MemoryTarget out;
    lha::PackInfo info;
    info.name = "seed.txt";
    info.mtime = 1600000000;
    info.unixMode = 0100644;
    lha::writeArchive(src, out, info, m);
    return out.data;
}

// Re-wraps the packed data of a level-2 archive under a level-0 or level-1 header.
Bytes rewrap(const Bytes& a, int level)
{
    const std::size_t hs = static_cast<std::size_t>(a[0] | (a[1] << 8));
    const Bytes payload(a.begin() + static_cast<long>(hs), a.end() - 1);
    const std::string name = "SEED.TXT";
    Bytes h = {0, 0};
    h.insert(h.end(), a.begin() + 2, a.begin() + 7);   // method
    h.insert(h.end(), a.begin() + 7, a.begin() + 15);  // packed and original size
    h.insert(h.end(), {0x21, 0x60, 0x34, 0x51});       // an MS-DOS date in 2020
    h.push_back(0x20);
    h.push_back(static_cast<std::uint8_t>(level));
    h.push_back(static_cast<std::uint8_t>(name.size()));
    h.insert(h.end(), name.begin(), name.end());
    h.insert(h.end(), a.begin() + 21, a.begin() + 23);   // data CRC
    if (level == 1)
        h.insert(h.end(), {'M', 0, 0});
    h[0] = static_cast<std::uint8_t>(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i)
        sum += h[i];
    h[1] = static_cast<std::uint8_t>(sum);
    h.insert(h.end(), payload.begin(), payload.end());
    h.push_back(0);
    return h;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::mt19937 rng(1);
    const std::string words = "archive backup restore file header table window copy ";
    Bytes text;
    while (text.size() < 6000)
        text.push_back(static_cast<std::uint8_t>(words[rng() % words.size()]));
    Bytes noise(700);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(rng());
    Bytes mixed = text;
    mixed.insert(mixed.end(), noise.begin(), noise.end());
    mixed.insert(mixed.end(), text.begin(), text.begin() + 3000);
    const std::vector<std::pair<std::string, Bytes>> shapes = {
        {"empty", {}}, {"byte", {'A'}}, {"text", text}, {"noise", noise}, {"mixed", mixed}, {"zeros", Bytes(20000, 0)}};

    int count = 0;
    auto save = [&](const std::string& name, const Bytes& b) {
        std::ofstream f(dir + "/" + name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        ++count;
    };
    for (const auto& [name, data] : shapes) {
        for (lha::Method m : {lha::Method::Lh4, lha::Method::Lh5, lha::Method::Lh6, lha::Method::Lh7}) {
            const Bytes a = pack(data, m);
            const std::string tag = std::string(lha::methodId(m)).substr(1, 3);
            save(tag + "_" + name + ".lzh", a);
            if (name == "mixed" || name == "empty") {
                save(tag + "_" + name + "_level0.lzh", rewrap(a, 0));
                save(tag + "_" + name + "_level1.lzh", rewrap(a, 1));
            }
        }
    }
    save("cmdline_pack.txt", Bytes{'a', ' ', '-', 'n', ' ', '"', 'x', '"', ' ', '"', 'y', '"'});
    std::printf("%d seeds written to %s\n", count, dir.c_str());
    return 0;
}
