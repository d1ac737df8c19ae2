// An arbitrary step run over a fixed small document: the condition and the
// operations stay in bounds, keep the header word equal to the items' words,
// and leave a store that writes back and reads the same (or is refused).
#include "StepText.h"
#include "StoreCheck.h"
#include "edit/EditRun.h"

using namespace velmora;

namespace {

struct YesDialogs : IEditDialogs {
  bool selectMacro(const SelectMacroRequest&, std::string&) override { return false; }
  PromptAnswer promptBeforeOperation(const EditPrompt&) override { return answer; }
  PromptAnswer answer = PromptAnswer::Yes;
};

// A staff, notes, a beam, a barline, a text and a slur over two staves.
const std::vector<std::vector<float>>& documentItems() {
  static const std::vector<std::vector<float>> items = {
      {8, 1, 0, 0, 200, 0, 0, 0, 20},
      {1, 1, 10, 4, 10, 0, 1},
      {1, 1, 20, 6, 10, 1, 1, 0, 0, 0, 0, 2},
      {6, 1, 10, 9, 20, 7, 1},
      {14, 1, 40, 1},
      {16, 1, 20, 12, 0, 0, 0, 0, 0, 0, 0, 4, 0, 1.0e-8f},
      {8, 2, 0, 0, 200, 0, 0, 0, 30},
      {1, 2, 10, -2, 10, 0, 0.5f},
      {5, 2, 15, 4, 6, 20, 1},
      {14, 2, 40, 1},
  };
  return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t flags = 0;
  const StepData step = fuzz::stepFromBytes(data, size, flags);
  fuzz::FuzzHost host;
  YesDialogs dialogs;
  dialogs.answer = (flags & 8) ? PromptAnswer::YesToAll : (flags & 16) ? PromptAnswer::No : PromptAnswer::Yes;
  CItemStore store;
  fuzz::fillStore(store, documentItems());
  CCandidateSets candidates;
  EditOptions options;
  options.fourPointPrecision = (flags >> 1) & 1;
  options.promptBeforeOperation = (flags >> 2) & 1;
  CBatchState batch;
  CEditRun run({host, dialogs, store, candidates, options, "/nonexistent/", batch});
  bool modified = false;
  const int result = run.runStep(step, "doc.mus", modified);
  fuzz::check(result == 0 || result == 1);
  if (result != 1) return 0;
  fuzz::check(store.headerWord == fuzz::storeWords(store));
  fuzz::checkWritesBack(host, store);
  return 0;
}
