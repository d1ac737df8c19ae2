// Justify over arbitrary SCORE bytes, with the last byte also choosing the
// options and the answers to its prompts, so that real files replay whole: it
// ends, keeps every item's code, stave and parameter count, and leaves a store
// that writes back and reads the same.
#include <algorithm>
#include <limits>

#include "StoreCheck.h"
#include "justify/Justify.h"

using namespace velmora;

namespace {

struct ScriptedDialogs : IJustifyDialogs {
  PromptAnswer promptBeforeOperation(const JustifyPrompt&) override {
    constexpr PromptAnswer kCycle[] = {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Yes, PromptAnswer::YesToAll};
    if (++asked == cancelAt) return PromptAnswer::Cancel;
    return kCycle[asked % 4];
  }
  bool editJustifySettings(JustifyOptions&) override { return false; }
  unsigned asked = 0;
  unsigned cancelAt = 0;
};

// Minimum spaces and first-note spaces, hostile ones included.
constexpr float kSpaces[] = {0.5f,    0.0f, 2.0f, -1.0f, 40.0f, 1.0e30f, std::numeric_limits<float>::quiet_NaN(),
                             1.0e-30f};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[size - 1];
  fuzz::FuzzHost host;
  ScoreFile file{"fuzz.mus", std::vector<uint8_t>(data, data + size)};
  CItemStore store;
  if (openScoreBytes(host, store, file) != 1 || readGeneral(host, file, store) != 1) return 0;

  std::vector<std::vector<float>> before;
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& item : store.list(l))
      before.emplace_back(item.params().values().begin(), item.params().values().end());

  JustifyOptions options;
  options.minimumSpace = kSpaces[choice & 7];
  options.extraSpaceFirstNote = kSpaces[(choice >> 3) & 7] == 0.5f ? 0.0f : kSpaces[(choice >> 3) & 7];
  options.recognizeStretchedNotes = (choice >> 6) & 1;
  options.barlineType = (choice >> 7) & 1;
  ScriptedDialogs dialogs;
  dialogs.cancelAt = (choice & 0x40) ? 3 : 0;
  CBatchState batch;
  JustifyRun run{host, dialogs, options, batch};
  run.prompt = (choice & 0x80) != 0;
  const int result = justifyStore(run, store, file.path);
  fuzz::check(result == 0 || result == 1);

  // Justify moves positions only: codes, staves and counts stay, in order.
  size_t at = 0;
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& item : store.list(l)) {
      fuzz::check(at < before.size());
      const std::vector<float>& was = before[at++];
      const auto now = item.params().values();
      fuzz::check(now.size() == was.size());
      fuzz::check(std::memcmp(now.data(), was.data(), std::min<size_t>(2, now.size()) * sizeof(float)) == 0);
    }
  fuzz::check(at == before.size());
  fuzz::check(store.headerWord == fuzz::storeWords(store));
  fuzz::checkWritesBack(host, store);
  return 0;
}
