// Condition evaluation and the operations of the edit run. The COMP step
// runs over files of growing size: every note looks for a beam at its own
// position on its own stave, so each evaluation filters the whole file.
#include <benchmark/benchmark.h>

#include <fstream>

#include "BenchSupport.h"
#include "edit/Condition.h"
#include "edit/EditRun.h"
#include "model/ScoreReader.h"

namespace velmora::bench {
namespace {

// A store read from generated items, kept as bytes so each iteration can start afresh.
struct Source {
  explicit Source(const std::vector<std::vector<float>>& items) {
    file.path = "bench.mus";
    file.bytes = scoreBytes(items);
  }
  void load(CItemStore& store) const {
    SilentHost host;
    store.clear();
    openScoreBytes(host, store, file);
    readGeneral(host, file, store);
  }
  ScoreFile file;
};

const Source& largeSource() {
  static const Source source(pageItems(largePage()));
  return source;
}

// One condition over every item of the large page, as a step's item loop evaluates it.
void conditionOverFile(benchmark::State& state, const char* argument) {
  CItemStore store;
  largeSource().load(store);
  CCandidateSets candidates;
  const CCondition condition(argument);
  ConditionContext context{store, candidates};
  size_t items = 0;
  for (auto _ : state) {
    int holds = 0;
    for (int l = 0; l < kStaveListCount; ++l)
      for (const CItem& item : store.list(l))
        holds += condition.evaluate(item, 1, context) ? 1 : 0;
    benchmark::DoNotOptimize(holds);
    items += store.itemCount();
  }
  state.SetItemsProcessed(static_cast<int64_t>(items));
}

void BM_ConditionPlain(benchmark::State& state) { conditionOverFile(state, "P4 >= 8 && P5 == 10"); }
BENCHMARK(BM_ConditionPlain);

void BM_ConditionBrackets(benchmark::State& state) {
  conditionOverFile(state, "(P4 >= 8 || P4 < 0) && (P5 == 10 || (P6 == 0 && P7 > 0.25)) && #P3 != 7");
}
BENCHMARK(BM_ConditionBrackets);

// A whole step: every item, its condition, and the operation where it holds.
void runStepOver(benchmark::State& state, const Source& source, const StepData& step, const std::string& project = {}) {
  SilentHost host;
  SilentDialogs dialogs;
  CItemStore store;
  CCandidateSets candidates;
  EditOptions options;
  CBatchState batch;
  CEditRun run(EditRunContext{host, dialogs, store, candidates, options, project, batch});
  size_t items = 0;
  for (auto _ : state) {
    state.PauseTiming();
    source.load(store);
    items += store.itemCount();
    state.ResumeTiming();
    bool modified = false;
    if (run.runStep(step, project + "bench.mus", modified) != 1) state.SkipWithError("step stopped");
  }
  if (!host.messages.empty()) state.SkipWithError(host.messages.front().c_str());
  state.SetItemsProcessed(static_cast<int64_t>(items));
}

void BM_CompStep(benchmark::State& state) {
  const Source source(compItems(static_cast<int>(state.range(0))));
  runStepOver(state, source, StepData{"", "1", "COMP[1] == 6 && COMP[2] == P2 && COMP[3] == P3", "9 = 1", 0});
}
BENCHMARK(BM_CompStep)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// Every note matches and is changed: an assignment keeps the shared results
// up to date item by item, a deletion changes the lists and starts them again.
void BM_CompStepChanging(benchmark::State& state, const char* operation) {
  const Source source(compItems(static_cast<int>(state.range(0))));
  runStepOver(state, source, StepData{"", "1", "COMP[1] == 14 && COMP[2] == P2", operation, 0});
}
BENCHMARK_CAPTURE(BM_CompStepChanging, assign, "9 = COMP[3]")->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CompStepChanging, del, "DEL")->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// The same over the large page, where the COMP test holds: each beam finds its left note.
void BM_CompStepPage(benchmark::State& state) {
  runStepOver(state, largeSource(),
              StepData{"", "6", "COMP[1] == 1 && COMP[2] == P2 && COMP[3] == P3", "4 = COMP[4] + 7", 0});
}
BENCHMARK(BM_CompStepPage)->Unit(benchmark::kMillisecond);

// Each operation kind over the notes of the large page.
void BM_Operation(benchmark::State& state, const char* codes, const char* argument, const char* operation) {
  runStepOver(state, largeSource(), StepData{"", codes, argument, operation, 0});
}
BENCHMARK_CAPTURE(BM_Operation, assign, "1", "P5 == 10", "5 = 20");
BENCHMARK_CAPTURE(BM_Operation, add, "1", "P5 == 10", "4 += 1");
BENCHMARK_CAPTURE(BM_Operation, subtract, "1", "P5 == 10", "4 -= 1");
BENCHMARK_CAPTURE(BM_Operation, multiply, "1", "P5 == 10", "3 *= 1.01");
BENCHMARK_CAPTURE(BM_Operation, divide, "1", "P5 == 10", "3 /= 1.01");
BENCHMARK_CAPTURE(BM_Operation, numberForm, "1", "P5 == 10", "5 3");
BENCHMARK_CAPTURE(BM_Operation, grow, "1", "P5 == 10", "12 = 1");
BENCHMARK_CAPTURE(BM_Operation, valueWithBrackets, "1", "P5 == 10", "4 = (P4 + 1) * 2");
BENCHMARK_CAPTURE(BM_Operation, del, "1", "P5 == 10", "DEL");
BENCHMARK_CAPTURE(BM_Operation, ins, "1", "P5 == 10", "INS[9, P2, P3, 1]");
BENCHMARK_CAPTURE(BM_Operation, txt, "16", "TXT[Allegro]", "TXT[Andante]");

// APP: a small file appended once per matching item would grow past any
// header, so the not-found form appends it once per step.
void BM_OperationAppend(benchmark::State& state) {
  const std::string project = scratchFolder("append");
  const std::vector<uint8_t> tail = scoreBytes(pageItems(PageShape{2, 2, 3}));
  std::ofstream(project + "TAIL.MUS", std::ios::binary)
      .write(reinterpret_cast<const char*>(tail.data()), static_cast<std::streamsize>(tail.size()));
  const Source source(pageItems(PageShape{10, 6, 5}));
  runStepOver(state, source, StepData{"", "1", "P4 > 100", "APP[TAIL.MUS, A]", 1}, project);
}
BENCHMARK(BM_OperationAppend);

} // namespace
} // namespace velmora::bench
