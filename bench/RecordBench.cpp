// Reading the install record: CountEntries and the four NextEntry passes of a
// replay on records of 10,000 to 1,000,000 entries. The time per entry must
// stay flat as the record grows.
#include <benchmark/benchmark.h>

#include <string>

#include "install/InstallRecord.h"

namespace {

// A record shaped like a real one: mostly files, some folders, a few
// controls and keys, paths with Chinese names.
std::string MakeRecord(int entries) {
  std::string text;
  text.reserve(static_cast<size_t>(entries) * 48);
  for (int i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 20) {
      case 0: record::Append(text, record::kMadeDir, "C:\\Program Files\\Kelvarin\\Terrasum\\图框\\d" + n); break;
      case 7: record::Append(text, record::kRegCtrl, "C:\\Program Files\\Kelvarin\\Terrasum\\Controls\\c" + n + ".ocx"); break;
      case 13: record::AppendKey(text, record::kLocalMachine, "SOFTWARE\\Kelvarin\\Terrasum\\V8\\k" + n); break;
      default: record::Append(text, record::kFileCopy, "C:\\Program Files\\Kelvarin\\Terrasum\\图框\\d\\文件" + n + ".dwg");
    }
  }
  return text;
}

void BM_CountFiles(benchmark::State& state) {
  const std::string text = MakeRecord(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(record::CountEntries(text, record::kFileCopy));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReplayPasses(benchmark::State& state) {
  const std::string text = MakeRecord(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    size_t sum = 0;
    for (int kind = 0; kind < record::kKindCount; ++kind) {
      size_t pos = 0, start = 0, len = 0;
      while (record::NextEntry(text, kind, pos, start, len)) sum += len;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CountFiles)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayPasses)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
