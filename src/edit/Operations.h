#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"
#include "edit/CandidateSets.h"
#include "model/CItemStore.h"

namespace velmora {

// One parsed piece of a step's operation.
struct CParamExpression {
  float parameterNumber = 0; // 0 for the keyword forms
  std::string op;            // "", "=", "+=", "-=", "*=", "/=", or "DEL", "INS", "APP", "TXT"
  std::string value;         // an assignment's value, or the bracket content of INS and APP
  std::string text;          // the replacement text of TXT

  bool operator==(const CParamExpression&) const = default;
};

// Parses an operation (normalised: upper case except TXT texts).
std::vector<CParamExpression> parseOperation(std::string_view operation);

// A value computed against the current item: brackets first, then left to
// right with no precedence; a missing parameter or an empty set reads 0.
float evaluateValue(std::string_view value, const CItem& item, const CItemStore& store, const CCandidateSets& sets);

// An item can hold at most this many parameters (the file's count is 16 bits).
inline constexpr int32_t kMaxItemParameters = 32767;
// Growth stops the file once the store would pass this many words, long
// before memory runs short; the writer refuses anything above 65535 anyway.
inline constexpr int32_t kMaxEditWords = 1 << 20;

// What the operations work on besides the item.
struct OperationContext {
  IHost& host;
  CItemStore& store;
  const CCandidateSets& candidates;
  // Relative APP file names are taken from here.
  std::string projectFolder;
  // The condition's TXT text, which a TXT replacement looks for.
  bool conditionHasText = false;
  std::string conditionText;
  // Named in the message when an edit grows the file beyond any SCORE file.
  std::string outputPath;
};

enum class ApplyResult { Done, Deleted, Stopped };

// Applies the expressions in order to the item at `it` of list `listIndex`.
// Deleted: the item is gone. Stopped: the user cancelled or the file grew
// beyond the limits (the message has been shown); the file must not be written.
ApplyResult applyOperation(OperationContext& context, const std::vector<CParamExpression>& expressions, int listIndex,
                           StaveList::iterator it);

// APP[name, letter]: reads the file into the end of the placed list, then
// raises stave numbers by the letter. Done also when the file could not be
// read (its message has been shown).
ApplyResult appendScoreFile(OperationContext& context, const CParamExpression& app);

// An APP file name: relative to the project folder, each part matched
// ignoring case (step texts are stored upper-cased), "\" taken as "/".
std::string resolveAppendPath(const std::string& projectFolder, std::string_view name);

} // namespace velmora
