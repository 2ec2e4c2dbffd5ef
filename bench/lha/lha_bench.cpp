// SPDX-License-Identifier: GPL-3.0-or-later
// Packs and unpacks files in memory with the LHA codec and reports sizes and speeds.
// Usage: lha_bench [-r RUNS] [-o DIR] [-m lh5|lh6|lh7] FILE...
// Prints one line per file and method (median of RUNS); with -o, also writes each archive to
// DIR/NAME.lhN.lzh so that other tools can unpack it.
#include "codec/lha_archive.h"
#include "codec/memory_io.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class VectorWriter : public lha::Writer {
public:
    void write(const std::uint8_t* d, std::size_t n) override { data.insert(data.end(), d, d + n); }
    std::vector<std::uint8_t> data;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Wall-clock time by default; with LHA_BENCH_CPU set, the process CPU time, which other load on a shared
// machine disturbs less (useful when comparing settings).
double now()
{
    static const bool cpu = std::getenv("LHA_BENCH_CPU") != nullptr;
    if (cpu) {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::string outDir;
    std::string only;   // -m lh5: just one method
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-r") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            outDir = argv[++i];
        else if (std::strcmp(argv[i], "-m") == 0 && i + 1 < argc)
            only = argv[++i];
        else
            files.push_back(argv[i]);
    }
    const struct {
        lha::Method m;
        const char* name;
    } methods[] = {{lha::Method::Lh5, "lh5"}, {lha::Method::Lh6, "lh6"}, {lha::Method::Lh7, "lh7"}};

    std::printf("%-20s %-6s %12s %12s %7s %10s %10s\n", "file", "method", "size", "archive", "ratio",
                "pack MB/s", "unpack MB/s");
    for (const std::string& f : files) {
        std::ifstream in(f, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", f.c_str());
            return 1;
        }
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const double mb = static_cast<double>(data.size()) / 1e6;
        for (const auto& m : methods) {
            if (!only.empty() && only != m.name)
                continue;
            std::vector<double> packT, unpackT;
            lha::MemoryTarget archive;
            lha::EntryHeader h;
            for (int r = 0; r < runs; ++r) {
                lha::MemorySource src(data);
                archive = lha::MemoryTarget();
                lha::PackInfo info;
                info.name = "file";
                const double t0 = now();
                h = lha::writeArchive(src, archive, info, m.m);
                const double t1 = now();
                packT.push_back(t1 - t0);
            }
            for (int r = 0; r < runs; ++r) {
                lha::MemorySource arc(archive.data);
                VectorWriter out;
                out.data.reserve(data.size());
                const double t0 = now();
                lha::extractFirstFile(arc, out);
                const double t1 = now();
                unpackT.push_back(t1 - t0);
                if (out.data != data) {
                    std::fprintf(stderr, "%s: round trip mismatch with %s\n", f.c_str(), m.name);
                    return 1;
                }
            }
            const std::string base = f.substr(f.rfind('/') + 1);
            if (!outDir.empty()) {
                std::ofstream o(outDir + "/" + base + "." + m.name + ".lzh", std::ios::binary);
                o.write(reinterpret_cast<const char*>(archive.data.data()), static_cast<std::streamsize>(archive.data.size()));
            }
            const std::string shown = std::string(m.name) + (h.method == lha::Method::Lh0 ? "*" : "");
            std::printf("%-20s %-6s %12zu %12zu %6.1f%% %10.1f %10.1f\n", base.c_str(),
                        shown.c_str(), data.size(), archive.data.size(),
                        data.empty() ? 100.0 : 100.0 * static_cast<double>(archive.data.size()) / static_cast<double>(data.size()),
                        data.empty() ? 0.0 : mb / median(packT), data.empty() ? 0.0 : mb / median(unpackT));
        }
    }
    std::printf("(* = stored as -lh0- because packing does not shrink the data)\n");
    return 0;
}
