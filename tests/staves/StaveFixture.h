#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/ScoreReader.h"
#include "staves/StaveDialogs.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::test {

using Bytes = std::vector<uint8_t>;

// The stave dialogs as a scripted user: records what each was shown.
struct ScriptedStaveDialogs : IStaveDialogs {
  bool selectInstrumentNumbers(InstrumentChoice& choice) override {
    ++instrumentCalls;
    if (!instrumentOk) return false;
    choice = instrumentReply;
    return true;
  }
  StaveDialogResult selectStaves(StaveSelection& selection) override {
    shown.push_back(selection);
    const StaveDialogResult answer = staveAnswers.empty() ? StaveDialogResult::Ok : staveAnswers.front();
    if (!staveAnswers.empty()) staveAnswers.pop_front();
    if (answer != StaveDialogResult::Cancel && editSelection) editSelection(selection);
    return answer;
  }
  bool chooseTemplate(TemplateChoice& choice) override {
    templateRequests.push_back(choice);
    if (templatePath.empty()) return false;
    choice.path = templatePath;
    return true;
  }

  bool instrumentOk = true;
  InstrumentChoice instrumentReply;
  int instrumentCalls = 0;
  std::deque<StaveDialogResult> staveAnswers;
  std::function<void(StaveSelection&)> editSelection;
  std::vector<StaveSelection> shown;
  std::string templatePath;
  std::vector<TemplateChoice> templateRequests;
};

// A SCORE file's items in file order, one "%g %g ..." line each. The header
// word must equal the words that follow it, else the text says so.
inline std::string fileText(const Bytes& bytes) {
  int16_t trailerLength = 0;
  std::string why;
  if (!readTrailerLength(bytes, trailerLength, why)) return "damaged: " + why;
  int32_t first = 0;
  std::memcpy(&first, bytes.data(), 4);
  const int32_t total = decodeHeaderWord(first);
  const size_t width = static_cast<size_t>(headerWidth(total));
  if (bytes.size() != width + static_cast<size_t>(total) * 4)
    return "header word " + std::to_string(total) + " for " + std::to_string((bytes.size() - width) / 4) + " words";
  std::string out;
  size_t at = width;
  const size_t itemsEnd = bytes.size() - static_cast<size_t>(trailerLength) * 4;
  const auto f32 = [&] {
    float v;
    std::memcpy(&v, bytes.data() + at, 4);
    at += 4;
    return v;
  };
  while (at < itemsEnd) {
    const int n = static_cast<int>(f32());
    for (int i = 0; i < n; ++i) {
      char buf[32];
      std::snprintf(buf, sizeof buf, i ? " %g" : "%g", static_cast<double>(f32()));
      out += buf;
    }
    out += "\n";
  }
  return out;
}

// Readable lines back to the same text form, for expectations.
inline std::string normalized(const std::string& items) {
  std::string out;
  for (const auto& item : parseItems(items)) {
    for (size_t i = 0; i < item.size(); ++i) {
      char buf[32];
      std::snprintf(buf, sizeof buf, i ? " %g" : "%g", static_cast<double>(item[i]));
      out += buf;
    }
    out += "\n";
  }
  return out;
}

} // namespace velmora::test

// The file holds exactly these items (and the default trailer), byte for byte.
#define EXPECT_SCORE_FILE(path, items)                                                                                 \
  do {                                                                                                                 \
    const ::velmora::test::Bytes actualBytes = ::velmora::test::readBytes(path);                                       \
    EXPECT_EQ(::velmora::test::fileText(actualBytes), ::velmora::test::normalized(items));                             \
    EXPECT_EQ(actualBytes, ::velmora::test::buildScore(items));                                                        \
  } while (0)
