// Reading, counting and writing a large SCORE file, beside a raw read and
// write of the same bytes: the raw pair is the floor the readers and writers aim at.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "BenchSupport.h"
#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "count/ItemCount.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace velmora::bench {
namespace {

struct LargeFile {
  LargeFile() {
    folder = scratchFolder("readwrite");
    input = folder + "large.mus";
    output = folder + "large.edi";
    file.path = input;
    file.bytes = scoreBytes(pageItems(largePage()));
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
  }
  std::string folder, input, output;
  ScoreFile file;
};

LargeFile& large() {
  static LargeFile f;
  return f;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * large().file.bytes.size()));
}

// The general reader on bytes already in memory.
void BM_ReadGeneral(benchmark::State& state) {
  SilentHost host;
  for (auto _ : state) {
    CItemStore store;
    if (openScoreBytes(host, store, large().file) != 1 || readGeneral(host, large().file, store) != 1)
      state.SkipWithError("read failed");
    benchmark::DoNotOptimize(store.headerWord);
  }
  setBytes(state);
}
BENCHMARK(BM_ReadGeneral);

// The item count's reader, which tallies without building items.
void BM_CountBytes(benchmark::State& state) {
  SilentHost host;
  for (auto _ : state) {
    ItemCountTotals totals;
    countBytes(host, large().file, totals);
    benchmark::DoNotOptimize(totals.items);
  }
  setBytes(state);
}
BENCHMARK(BM_CountBytes);

// The plain writer's encoding, in memory.
void BM_EncodePlain(benchmark::State& state) {
  SilentHost host;
  CItemStore store;
  openScoreBytes(host, store, large().file);
  readGeneral(host, large().file, store);
  for (auto _ : state) {
    ByteWriter out;
    encodePlain(host, store, large().output, out);
    benchmark::DoNotOptimize(out.buffer().data());
  }
  setBytes(state);
}
BENCHMARK(BM_EncodePlain);

// Writers to a file; range(0) says whether the output is synced to disk.
void BM_WritePlain(benchmark::State& state) {
  SilentHost host;
  setAtomicSync(state.range(0) != 0);
  CItemStore store;
  openScoreBytes(host, store, large().file);
  readGeneral(host, large().file, store);
  for (auto _ : state)
    if (writePlain(host, store, large().output) != 1) state.SkipWithError("write failed");
  setAtomicSync(true);
  setBytes(state);
}
BENCHMARK(BM_WritePlain)->ArgName("sync")->Arg(0)->Arg(1);

void BM_WriteStaves(benchmark::State& state) {
  SilentHost host;
  setAtomicSync(state.range(0) != 0);
  CItemStore store;
  openScoreBytes(host, store, large().file);
  readGeneral(host, large().file, store);
  for (int s = 1; s <= kMaxStave; ++s)
    store.staveFlags[static_cast<size_t>(s)] = s % 5 == 0 ? 0 : 1;
  for (auto _ : state)
    if (writeStaves(host, store, large().output) != 1) state.SkipWithError("write failed");
  setAtomicSync(true);
  setBytes(state);
}
BENCHMARK(BM_WriteStaves)->ArgName("sync")->Arg(0)->Arg(1);

// Read from disk and plain-write, the pair every SCORE task runs, unsynced.
void BM_ReadPlainWrite(benchmark::State& state) {
  SilentHost host;
  setAtomicSync(false);
  for (auto _ : state) {
    CItemStore store;
    if (openAndReadGeneral(host, large().input, store) != 1) state.SkipWithError("read failed");
    if (writePlain(host, store, large().output) != 1) state.SkipWithError("write failed");
    benchmark::DoNotOptimize(store.headerWord);
  }
  setAtomicSync(true);
  setBytes(state);
}
BENCHMARK(BM_ReadPlainWrite);

// Its floor: the same bytes read and written with no parsing, unsynced.
void BM_RawReadWrite(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream in(large().input, std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(large().output, std::ios::binary | std::ios::trunc)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
    benchmark::DoNotOptimize(data.data());
  }
  setBytes(state);
}
BENCHMARK(BM_RawReadWrite);

} // namespace
} // namespace velmora::bench
