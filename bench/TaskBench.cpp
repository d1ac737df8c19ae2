// Optimize, Set Beam Angles and Justify on the large page: each task's work
// in memory, and its per-file routine from file to file (unsynced, so the
// disk does not hide the work).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "BenchSupport.h"
#include "base/AtomicFile.h"
#include "beams/BeamLibrary.h"
#include "beams/BeamTask.h"
#include "justify/Justify.h"
#include "model/ScoreReader.h"
#include "staves/Optimize.h"

namespace velmora::bench {
namespace {

struct LargeInput {
  LargeInput() {
    folder = scratchFolder("tasks");
    path = folder + "large.mus";
    file.path = path;
    file.bytes = scoreBytes(pageItems(largePage()));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
  }
  std::string folder, path;
  ScoreFile file;
};

const LargeInput& input() {
  static const LargeInput in;
  return in;
}

void countItems(benchmark::State& state, size_t perIteration) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * perIteration));
}

void BM_OptimizeInMemory(benchmark::State& state) {
  SilentHost host;
  const OptimizeOptions options;
  CItemStore store;
  size_t items = 0;
  for (auto _ : state) {
    state.PauseTiming();
    store.clear();
    store.staveFlags.fill(0);
    openScoreBytes(host, store, input().file);
    state.ResumeTiming();
    readOptimize(host, input().file, store, OptimizeMarking{});
    moveBarlinesAndAnchors(host, store, options);
    items = store.itemCount();
  }
  countItems(state, items);
}
BENCHMARK(BM_OptimizeInMemory)->Unit(benchmark::kMillisecond);

void BM_OptimizeFile(benchmark::State& state) {
  SilentHost host;
  SilentDialogs dialogs;
  OptimizeOptions options;
  const COptimizeBatch batch;
  CItemStore store;
  setAtomicSync(false);
  OptimizeContext context{host, dialogs, store, options, batch};
  for (auto _ : state)
    if (optimizeFile(context, input().path, "OPT") != 1) state.SkipWithError("optimize stopped");
  setAtomicSync(true);
}
BENCHMARK(BM_OptimizeFile)->Unit(benchmark::kMillisecond);

// The beams of the page, matched against libraries that a first pass has learned.
struct BeamWork {
  SilentHost host;
  SilentDialogs dialogs;
  CItemStore store;
  CBeamLibraries libraries;
  CBeamGroups groups;
  BeamRun run{host, dialogs, store, libraries, groups, input().folder, BeamOptions{}};

  void read() {
    store.clear();
    groups.clear();
    openScoreBytes(host, store, input().file);
    readBeams(host, input().file, store, groups);
  }
  void set() {
    findBeamNotes(host, store, groups, run.options);
    setBeamAngles(run);
  }
};

void BM_BeamsInMemory(benchmark::State& state) {
  BeamWork work;
  work.read();
  work.set();
  size_t beams = 0;
  for (auto _ : state) {
    state.PauseTiming();
    work.read();
    beams = work.groups.size();
    state.ResumeTiming();
    work.set();
  }
  countItems(state, beams);
}
BENCHMARK(BM_BeamsInMemory)->Unit(benchmark::kMillisecond);

void BM_BeamsFile(benchmark::State& state) {
  BeamWork work;
  work.read();
  work.set();
  setAtomicSync(false);
  for (auto _ : state)
    if (setBeamAnglesInFile(work.run, input().path, "BIM") != 1) state.SkipWithError("beams stopped");
  setAtomicSync(true);
}
BENCHMARK(BM_BeamsFile)->Unit(benchmark::kMillisecond);

void BM_JustifyInMemory(benchmark::State& state) {
  SilentHost host;
  SilentDialogs dialogs;
  const JustifyOptions options;
  CBatchState batch;
  CItemStore store;
  size_t items = 0;
  for (auto _ : state) {
    state.PauseTiming();
    store.clear();
    openScoreBytes(host, store, input().file);
    readGeneral(host, input().file, store);
    items = store.itemCount();
    batch.log.clear();
    state.ResumeTiming();
    JustifyRun run{host, dialogs, options, batch};
    justifyStore(run, store, input().path);
  }
  countItems(state, items);
}
BENCHMARK(BM_JustifyInMemory)->Unit(benchmark::kMillisecond);

// Justify in memory over the corpus's pages (VELMORA_CORPUS, default
// ../shared/corpus), which make many more corrections than generated ones.
std::vector<ScoreFile> corpusScores() {
  const char* env = std::getenv("VELMORA_CORPUS");
  std::vector<ScoreFile> pages;
  for (const std::string& path : bench::corpusPages(env ? env : "../shared/corpus")) {
    ScoreFile page;
    page.path = path;
    std::ifstream in(path, std::ios::binary);
    page.bytes.assign(std::istreambuf_iterator<char>(in), {});
    pages.push_back(std::move(page));
  }
  return pages;
}

void BM_JustifyRealPages(benchmark::State& state) {
  static const std::vector<ScoreFile> pages = corpusScores();
  if (pages.empty()) {
    state.SkipWithError("no SCORE pages of 1 KB or more in VELMORA_CORPUS");
    return;
  }
  SilentHost host;
  SilentDialogs dialogs;
  const JustifyOptions options;
  CBatchState batch;
  CItemStore store;
  for (auto _ : state) {
    for (const ScoreFile& page : pages) {
      state.PauseTiming();
      store.clear();
      openScoreBytes(host, store, page);
      readGeneral(host, page, store);
      batch.log.clear();
      state.ResumeTiming();
      JustifyRun run{host, dialogs, options, batch};
      justifyStore(run, store, page.path);
    }
  }
  countItems(state, pages.size());
}
BENCHMARK(BM_JustifyRealPages)->Unit(benchmark::kMicrosecond);

void BM_JustifyFile(benchmark::State& state) {
  SilentHost host;
  SilentDialogs dialogs;
  const JustifyOptions options;
  CBatchState batch;
  CItemStore store;
  setAtomicSync(false);
  for (auto _ : state) {
    batch.log.clear();
    JustifyRun run{host, dialogs, options, batch};
    if (justifyFile(run, store, input().path, "JST") != 1) state.SkipWithError("justify stopped");
  }
  setAtomicSync(true);
}
BENCHMARK(BM_JustifyFile)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora::bench
