// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the benchmark's source tree: a fixed layout of 1,110 directories (10 top-level, 10
// below each, 10 below those) and FILES files spread over them, sizes skewed small (most a
// few KB, a few of several MB), some names in Japanese. The same seed gives the same tree,
// byte for byte.
//
//   make_tree ROOT FILES [SEED]      prints "<files> <dirs> <bytes>"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rng {
  uint64_t s;
  uint64_t Next() {  // splitmix64
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t Below(uint64_t n) { return Next() % n; }
  uint64_t Between(uint64_t lo, uint64_t hi) { return lo + Below(hi - lo + 1); }
};

const char* kTopNames[10] = {"書類", "src", "写真", "data", "音楽", "logs", "設定ファイル", "misc", "作業中", "backup"};
const char* kAsciiStems[] = {"report", "notes", "image", "table", "index", "main", "readme", "config", "draft", "data"};
const char* kJapaneseStems[] = {"報告書", "議事録", "見積もり", "写真", "メモ", "売上データ", "予定表", "日本語の名前"};
const char* kExtensions[] = {".txt", ".doc", ".jpg", ".dat", ".csv", ".log", ".xls", ".cpp", ".h", ".bin"};

[[noreturn]] void Die(const std::string& what) {
  std::perror(what.c_str());
  std::exit(1);
}

void MakeDir(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0) Die("mkdir " + path);
}

// Sizes: 70% up to 4 KB, 25% 4-24 KB, 4.9% 24-48 KB, 0.1% 1-6 MB (about 10.5 KB a file on average).
uint64_t FileSize(Rng& rng) {
  const uint64_t p = rng.Below(1000);
  if (p < 700) return rng.Below(4097);
  if (p < 950) return rng.Between(4097, 24 * 1024);
  if (p < 999) return rng.Between(24 * 1024 + 1, 48 * 1024);
  return rng.Between(1 << 20, 6 << 20);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_tree ROOT FILES [SEED]\n");
    return 2;
  }
  const std::string root = argv[1];
  const long files = std::atol(argv[2]);
  Rng rng{argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 20240601};

  // The content pool: every file is a slice of it.
  constexpr size_t kPool = 8u << 20;
  std::vector<unsigned char> pool(kPool);
  for (size_t i = 0; i < kPool; i += 8) {
    const uint64_t v = rng.Next();
    for (int b = 0; b < 8; ++b) pool[i + b] = static_cast<unsigned char>(v >> (8 * b));
  }

  MakeDir(root);
  std::vector<std::string> dirs;
  for (int a = 0; a < 10; ++a) {
    const std::string da = root + "/" + kTopNames[a];
    MakeDir(da);
    dirs.push_back(da);
    for (int b = 0; b < 10; ++b) {
      char nb[64];
      std::snprintf(nb, sizeof nb, (a + b) % 7 == 0 ? "/フォルダ%02d" : "/dir%02d", b);
      const std::string db = da + nb;
      MakeDir(db);
      dirs.push_back(db);
      for (int c = 0; c < 10; ++c) {
        char nc[64];
        std::snprintf(nc, sizeof nc, (a * 100 + b * 10 + c) % 13 == 0 ? "/サブ%02d" : "/sub%02d", c);
        const std::string dc = db + nc;
        MakeDir(dc);
        dirs.push_back(dc);
      }
    }
  }

  uint64_t total = 0;
  for (long i = 0; i < files; ++i) {
    const std::string& dir = dirs[rng.Below(dirs.size())];
    char name[128];
    const char* ext = kExtensions[rng.Below(10)];
    if (rng.Below(20) == 0)
      std::snprintf(name, sizeof name, "/%s_%05ld%s", kJapaneseStems[rng.Below(8)], i, ext);
    else
      std::snprintf(name, sizeof name, "/%s_%05ld%s", kAsciiStems[rng.Below(10)], i, ext);
    const std::string path = dir + name;
    const uint64_t size = FileSize(rng);
    const uint64_t offset = rng.Below(kPool - size + 1);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) Die("open " + path);
    size_t done = 0;
    while (done < size) {
      const ssize_t w = ::write(fd, pool.data() + offset + done, size - done);
      if (w <= 0) Die("write " + path);
      done += static_cast<size_t>(w);
    }
    ::close(fd);
    total += size;
  }
  std::printf("%ld %zu %llu\n", files, dirs.size(), static_cast<unsigned long long>(total));
  return 0;
}
