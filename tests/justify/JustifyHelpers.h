#pragma once

#include <deque>
#include <string>
#include <vector>

#include "justify/Justify.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"

namespace velmora::test {

// A scripted user at the Justify prompt.
struct ScriptedJustifyDialogs : IJustifyDialogs {
  PromptAnswer promptBeforeOperation(const JustifyPrompt& prompt) override {
    prompts.push_back(prompt);
    if (answers.empty()) return defaultAnswer;
    const PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool editJustifySettings(JustifyOptions& options) override {
    shown.push_back(options);
    if (edit) edit(options);
    return confirm;
  }
  std::vector<JustifyPrompt> prompts;
  std::deque<PromptAnswer> answers;
  PromptAnswer defaultAnswer = PromptAnswer::Yes;
  std::vector<JustifyOptions> shown;
  std::function<void(JustifyOptions&)> edit;
  bool confirm = true;
};

inline CItem note(const std::string& params) {
  const auto items = parseItems(params);
  return items.empty() ? CItem() : CItem(items.front());
}

inline void fill(CItemStore& store, const std::string& text) {
  for (const auto& params : parseItems(text))
    store.addItem(params);
}

// P3 of every item of a stave, in list order.
inline std::vector<float> positions(const CItemStore& store, int stave) {
  std::vector<float> out;
  for (const CItem& item : store.list(stave - 1))
    out.push_back(item.p(3));
  return out;
}

inline std::vector<float> paramsOf(const CItemStore& store, int stave, size_t index) {
  auto it = store.list(stave - 1).begin();
  for (size_t i = 0; i < index && it != store.list(stave - 1).end(); ++i)
    ++it;
  if (it == store.list(stave - 1).end()) return {};
  const auto values = it->params().values();
  return {values.begin(), values.end()};
}

} // namespace velmora::test
