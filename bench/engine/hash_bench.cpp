// SPDX-License-Identifier: GPL-3.0-or-later
// The throughput of the content manifest's hash next to the hashes Qt offers, on 256 MiB in
// memory (no disk): the figures behind the choice of XXH3-128.
//
//   hash_bench        prints "<name> <MB/s>" per hash
#include "records/ContentManifest.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

int main() {
  std::vector<char> block(size_t(1) << 20);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
  const int mib = 256;
  auto report = [&](const char* name, auto feed, int rounds) {
    QElapsedTimer t;
    t.start();
    feed(rounds);
    std::printf("%s %.0f\n", name, rounds / (t.nsecsElapsed() / 1e9));
  };
  report("XXH3-128", [&](int n) { qarno::ContentHash h; for (int i = 0; i < n; ++i) h.Add(block.data(), block.size()); (void)h.Hex(); }, mib * 8);
  for (auto [name, algo] : {std::pair{"SHA-256", QCryptographicHash::Sha256}, std::pair{"BLAKE2b-256", QCryptographicHash::Blake2b_256}}) {
    report(name, [&, algo = algo](int n) { QCryptographicHash h(algo); for (int i = 0; i < n; ++i) h.addData(QByteArrayView(block.data(), qsizetype(block.size()))); (void)h.result(); }, mib);
  }
  return 0;
}
