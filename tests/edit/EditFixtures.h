#pragma once

#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "edit/EditRun.h"
#include "edit/MacroFiles.h"
#include "model/ScoreReader.h"

namespace velmora::test {

// A scripted user for "Select a Macro" and "Prompt before Operation".
struct ScriptedEditDialogs : IEditDialogs {
  bool selectMacro(const SelectMacroRequest& request, std::string& chosen) override {
    requests.push_back(request);
    if (choices.empty()) return false;
    chosen = choices.front();
    choices.pop_front();
    return !chosen.empty();
  }
  PromptAnswer promptBeforeOperation(const EditPrompt& prompt) override {
    prompts.push_back(prompt);
    if (answers.empty()) return defaultAnswer;
    const PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<SelectMacroRequest> requests;
  std::deque<std::string> choices; // "" cancels
  std::vector<EditPrompt> prompts;
  std::deque<PromptAnswer> answers;
  PromptAnswer defaultAnswer = PromptAnswer::Yes;
};

// The parameters of a text item: code 16, zeros to P11, P12 the length, P13
// zero, then the characters four per parameter, blanks filling the last.
inline std::vector<float> textItem(float stave, float p3, const std::string& text) {
  std::vector<float> p{16, stave, p3, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<float>(text.size()), 0};
  for (size_t i = 0; i < text.size(); i += 4) {
    char word[4] = {' ', ' ', ' ', ' '};
    for (size_t k = 0; k < 4 && i + k < text.size(); ++k)
      word[k] = text[i + k];
    float v;
    std::memcpy(&v, word, 4);
    p.push_back(v);
  }
  return p;
}

// The items of a SCORE file in file order, read without any check.
inline std::vector<std::vector<float>> fileItems(const std::vector<uint8_t>& bytes) {
  std::vector<std::vector<float>> items;
  ByteReader in(bytes);
  const int32_t total = decodeHeaderWord(in.i32());
  std::string why;
  int16_t trailer = 0;
  if (!readTrailerLength(bytes, trailer, why)) return items;
  in.seek(static_cast<size_t>(headerWidth(total)));
  for (int64_t run = 0; run < total - trailer && in.ok();) {
    const int n = static_cast<int>(in.f32());
    std::vector<float> item(static_cast<size_t>(n));
    for (float& p : item)
      p = in.f32();
    items.push_back(item);
    run += n + 1;
  }
  return items;
}

inline void writeStep(const std::string& folder, const std::string& name, const StepData& step) {
  std::string message;
  if (!writeStepFile(folder + name + ".STP", step, message)) throw std::runtime_error(message);
}

inline void writeMacro(const std::string& folder, const std::string& name, const std::vector<std::string>& steps,
                       const std::string& description = "") {
  std::string message;
  if (!writeMacroFile(folder + name + ".MAC", MacroData{description, steps}, message))
    throw std::runtime_error(message);
}

} // namespace velmora::test
