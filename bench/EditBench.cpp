// One COMP step over files of growing size: every note looks for a beam at its
// own position on its own stave, so each evaluation filters the whole file.
#include <benchmark/benchmark.h>

#include "edit/EditRun.h"

namespace {

class SilentHost : public velmora::IHost {
public:
  void showMessage(const std::string&) override {}
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  velmora::Pump pump() override { return velmora::Pump::GoOn; }
  int chooseFiles(velmora::FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
};

class NoDialogs : public velmora::IEditDialogs {
public:
  bool selectMacro(const velmora::SelectMacroRequest&, std::string&) override { return false; }
  velmora::PromptAnswer promptBeforeOperation(const velmora::EditPrompt&) override {
    return velmora::PromptAnswer::Yes;
  }
};

// Notes, with a beam every fourth position and a barline every eighth, over ten staves.
void fill(velmora::CItemStore& store, int items) {
  store.headerWord = 5;
  for (int i = 0; i < items; ++i) {
    const float stave = static_cast<float>(1 + i % 10);
    const float p3 = static_cast<float>(i / 10);
    const float code = i % 8 == 7 ? 14.0f : i % 4 == 3 ? 6.0f : 1.0f;
    const float params[] = {code, stave, p3, 5.0f, 10.0f, 0.0f, 1.0f};
    store.addItem(params);
    store.headerWord += 8;
  }
}

void compStep(benchmark::State& state) {
  SilentHost host;
  NoDialogs dialogs;
  velmora::CItemStore store;
  velmora::CCandidateSets candidates;
  velmora::EditOptions options;
  velmora::CBatchState batch;
  fill(store, static_cast<int>(state.range(0)));
  const velmora::StepData step{"", "1", "COMP[1] == 6 && COMP[2] == P2 && COMP[3] == P3", "9 = 1", 0};
  velmora::CEditRun run(velmora::EditRunContext{host, dialogs, store, candidates, options, "", batch});
  for (auto _ : state) {
    bool modified = false;
    benchmark::DoNotOptimize(run.runStep(step, "bench.mus", modified));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(compStep)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
