#include "edit/Operations.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "base/FileSystem.h"
#include "base/Format.h"
#include "edit/ItemText.h"
#include "edit/Messages.h"
#include "edit/StepSyntax.h"
#include "edit/detail/Lexer.h"
#include "model/Messages.h"
#include "model/ScoreReader.h"

namespace velmora {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && s[i] == ' ')
    ++i;
  return i;
}

size_t wordEnd(std::string_view s, size_t i) {
  while (i < s.size() && s[i] != ' ' && s[i] != '[')
    ++i;
  return i;
}

bool oneOf(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

std::string trimBlanks(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// A signed decimal number at `i`: its end, or `i` when there is none.
size_t signedNumberEnd(std::string_view s, size_t i) {
  size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  bool digits = false;
  while (j < s.size() && isDigit(s[j])) {
    ++j;
    digits = true;
  }
  if (j < s.size() && s[j] == '.') {
    ++j;
    while (j < s.size() && isDigit(s[j])) {
      ++j;
      digits = true;
    }
  }
  return digits ? j : i;
}

// Grows items and adds items while keeping the header word, within the limits.
class Changer {
public:
  explicit Changer(OperationContext& context) : ctx_(context) {}

  bool stopped() const { return stopped_; }

  bool grow(CItem& item, long long count) {
    if (count <= item.count()) return true;
    const long long added = count - item.count();
    if (!roomFor(added) || count > kMaxItemParameters) return refuse(added);
    item.params().setSize(static_cast<int32_t>(count));
    ctx_.store.headerWord += static_cast<int32_t>(added);
    return true;
  }

  bool set(CItem& item, long long n, float value) {
    if (n < 1 || !grow(item, n)) return false;
    item.params().set(static_cast<int32_t>(n - 1), value);
    return true;
  }

  CItem* newPlacedItem() {
    if (!roomFor(1)) {
      refuse(1);
      return nullptr;
    }
    ctx_.store.headerWord += 1;
    return &ctx_.store.list(kPlacedList).emplace_back();
  }

  bool roomFor(long long words) const { return ctx_.store.headerWord + words <= kMaxEditWords; }

  bool refuse(long long added) {
    if (!stopped_) {
      const long long total = ctx_.store.headerWord + added;
      ctx_.host.showMessage(strprintf(msg::kHeaderTooLarge, ctx_.outputPath.c_str(),
                                      static_cast<int>(std::min<long long>(total, 0x7FFFFFFF))));
    }
    stopped_ = true;
    return false;
  }

  // P12 = length, the characters from P14, the last word filled with blanks.
  bool writeText(CItem& item, const std::string& text) {
    const long long words = (static_cast<long long>(text.size()) + 3) / 4;
    if (!grow(item, std::max<long long>(kTextLengthParameter, kTextFirstParameter - 1 + words))) return false;
    item.params().set(kTextLengthParameter - 1, static_cast<float>(text.size()));
    for (long long w = 0; w < words; ++w)
      item.params().set(static_cast<int32_t>(kTextFirstParameter - 1 + w),
                        packTextWord(text, static_cast<size_t>(w) * 4));
    return true;
  }

private:
  OperationContext& ctx_;
  bool stopped_ = false;
};

// The integer part of a parameter index; none when no 32-bit index can hold it (or NaN).
std::optional<long long> indexOf(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::nullopt;
  return static_cast<long long>(v);
}

void assign(Changer& changer, CItem& item, double number, const std::string& op, float w) {
  if (number >= 1 && number <= 54) {
    // An operator the step language does not have changes nothing.
    if (!op.empty() && op != "=" && op != "+=" && op != "-=" && op != "*=" && op != "/=") return;
    const auto n = static_cast<int32_t>(number);
    if (!changer.grow(item, n)) return;
    const float p = item.p(n);
    float result = w;
    if (op == "+=")
      result = p + w;
    else if (op == "-=")
      result = p - w;
    else if (op == "*=")
      result = p * w;
    else if (op == "/=")
      result = w == 0.0f ? 0.0f : p / w;
    item.params().set(n - 1, result);
  } else if (number >= 200 && number < 2000) {
    // The last two digits are not used.
    const auto e = static_cast<int32_t>(number / 100);
    if (!changer.grow(item, e)) return;
    item.params().set(e - 1, item.p(e) + w);
  } else if (number >= 2000) {
    // A hand-made step may name an index no item can have: it changes nothing.
    const std::optional<long long> index = indexOf(number / 1000), source = indexOf(w);
    if (!index || !source) return;
    const long long e = *index, s = *source;
    if (!changer.grow(item, std::max(e, s))) return;
    item.params().set(static_cast<int32_t>(e - 1), s >= 1 ? item.p(static_cast<int32_t>(s)) : 0.0f);
  }
}

void replaceText(OperationContext& ctx, Changer& changer, CItem& item, const std::string& replacement) {
  if (!ctx.conditionHasText) {
    ctx.host.showMessage(edit_msg::kNoTextToReplace);
    return;
  }
  const std::string text = itemTextByLength(item);
  const std::string& search = ctx.conditionText;
  std::string out;
  if (search.empty()) {
    out = text;
  } else {
    size_t from = 0;
    for (size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
      out.append(text, from, at - from);
      out += replacement;
      from = at + search.size();
    }
    out.append(text, from, std::string::npos);
  }
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  changer.writeText(item, out);
}

// The elements of INS[...]: split at commas, a TXT[...] element kept whole.
std::vector<std::string> insertElements(std::string_view content) {
  std::vector<std::string> elements;
  size_t i = 0;
  while (i <= content.size()) {
    const size_t start = skipBlanks(content, i);
    size_t end;
    if (content.substr(start, 4) == "TXT[") {
      // Its text runs to the first "]" that only blanks separate from a comma or the end.
      end = std::string_view::npos;
      for (size_t j = content.find(']', start + 4); j != std::string_view::npos; j = content.find(']', j + 1)) {
        const size_t k = skipBlanks(content, j + 1);
        if (k >= content.size() || content[k] == ',') {
          end = k;
          break;
        }
      }
      if (end == std::string_view::npos) end = content.size();
    } else {
      end = content.find(',', start);
      if (end == std::string_view::npos) end = content.size();
    }
    elements.emplace_back(content.substr(start, end - start));
    i = end + 1;
  }
  return elements;
}

void storeText(Changer& changer, CItem& item, std::string text) {
  if (text.empty() || text[0] != '_') text = "_00" + text;
  if (item.p(1) != 16.0f && !changer.set(item, 1, 16.0f)) return;
  if (item.p(2) == 0.0f && !changer.set(item, 2, 1.0f)) return;
  if (!changer.grow(item, 11)) return;
  if (!changer.set(item, 13, 0.0f)) return;
  changer.writeText(item, text);
}

void insertItem(OperationContext& ctx, Changer& changer, const CItem& current, const std::string& content) {
  CItem* added = changer.newPlacedItem();
  if (!added) return;
  for (const std::string& element : insertElements(content)) {
    if (element.starts_with("TXT[")) {
      const size_t close = element.rfind(']');
      storeText(changer, *added,
                element.substr(4, close == std::string::npos || close < 4 ? std::string::npos : close - 4));
    } else {
      const float v = evaluateValue(element, current, ctx.store, ctx.candidates);
      if (!changer.set(*added, added->count() + 1, v)) return;
    }
    if (changer.stopped()) return;
  }
}

// Stores every item of an appended file at the end of the placed list.
class PlacedSink final : public IItemSink {
public:
  explicit PlacedSink(Changer& changer, CItemStore& store) : changer_(changer), store_(store) {}
  bool store(std::span<const float> params) override {
    if (!changer_.roomFor(1 + static_cast<long long>(params.size()))) {
      changer_.refuse(1 + static_cast<long long>(params.size()));
      return false;
    }
    store_.list(kPlacedList).emplace_back(params);
    store_.headerWord += 1 + static_cast<int32_t>(params.size());
    return true;
  }

private:
  Changer& changer_;
  CItemStore& store_;
};

bool raiseStave(Changer& changer, CItem& item, float by) {
  if (!changer.grow(item, 2)) return false;
  item.params().set(1, item.p(2) + by);
  return true;
}

void raiseStaves(Changer& changer, CItemStore& store, char letter) {
  if (letter == 'A' || letter == 'T') {
    int h = 1;
    for (int l = kPlacedList - 1; l >= 0; --l) {
      if (!store.list(l).empty()) {
        h = l + 1;
        break;
      }
    }
    const float by = static_cast<float>(letter == 'A' ? h : h - 1);
    for (CItem& item : store.list(kPlacedList))
      if (!raiseStave(changer, item, by)) return;
  } else if (letter == 'B') {
    int m = 0;
    for (const CItem& item : store.list(kPlacedList))
      m = std::max(m, intPart(item.p(2)));
    for (int l = 0; l < kPlacedList; ++l)
      for (CItem& item : store.list(l))
        if (!raiseStave(changer, item, static_cast<float>(m))) return;
  }
}

ApplyResult append(OperationContext& ctx, Changer& changer, const CParamExpression& app) {
  const size_t comma = app.value.find(',');
  const std::string name = trimBlanks(std::string_view(app.value).substr(0, comma));
  char letter = 0;
  if (comma != std::string::npos) {
    const size_t at = skipBlanks(app.value, comma + 1);
    if (at < app.value.size()) letter = app.value[at];
  }
  const std::string path = resolveAppendPath(ctx.projectFolder, name);
  CItemStore appended;
  ScoreFile file;
  if (openScoreFile(ctx.host, path, appended, file) != 1) return ApplyResult::Done;
  PlacedSink sink(changer, ctx.store);
  ReadStop stop = ReadStop::None;
  const int read = readItems(ctx.host, file, appended, sink, &stop);
  // Its header and trailer are kept apart and never written.
  ctx.store.appendedWordTotal = appended.wordTotal;
  ctx.store.appendedTrailerLength = appended.trailerLength;
  ctx.store.appendedTrailer = std::move(appended.trailer);
  if (read != 1) return stop == ReadStop::Cancelled || changer.stopped() ? ApplyResult::Stopped : ApplyResult::Done;
  raiseStaves(changer, ctx.store, letter);
  return changer.stopped() ? ApplyResult::Stopped : ApplyResult::Done;
}

} // namespace

std::vector<CParamExpression> parseOperation(std::string_view operation) {
  std::vector<CParamExpression> out;
  const std::string_view text = operation.substr(skipBlanks(operation, 0));
  if (equalsIgnoreCaseAscii(trimBlanks(text), "DEL")) {
    out.push_back({0, "DEL", {}, {}});
    return out;
  }
  const std::string keyword = toUpperAscii(std::string(text.substr(0, wordEnd(text, 0))));
  if (keyword == "INS" || keyword == "APP") {
    const size_t open = text.find('[');
    const size_t close = text.rfind(']');
    std::string value;
    if (open != std::string_view::npos)
      value = std::string(text.substr(open + 1, close == std::string_view::npos || close < open ? std::string_view::npos
                                                                                                : close - open - 1));
    out.push_back({0, keyword, value, {}});
    return out;
  }
  for (size_t i = skipBlanks(text, 0); i < text.size(); i = skipBlanks(text, i)) {
    size_t j = i;
    if (text[j] == '+' || text[j] == '-') ++j;
    const size_t digits = j;
    while (j < text.size() && isDigit(text[j]))
      ++j;
    if (j > digits) {
      CParamExpression e;
      e.parameterNumber = std::strtof(std::string(text.substr(i, j - i)).c_str(), nullptr);
      size_t k = skipBlanks(text, j);
      const size_t runStart = k;
      while (k < text.size() && oneOf(text[k], "+-*/"))
        ++k;
      const std::string run(text.substr(runStart, k - runStart));
      if (k < text.size() && oneOf(text[k], "0123456789.P-+%#")) {
        // Number form: "5 3", "5 -2".
        size_t end = k;
        while (end < text.size() && oneOf(text[end], "0123456789.P-+%#"))
          ++end;
        e.value = run + std::string(text.substr(k, end - k));
        i = end;
      } else {
        size_t end = k;
        while (end < text.size() && oneOf(text[end], "=*/"))
          ++end;
        e.op = run + std::string(text.substr(k, end - k));
        const size_t v = skipBlanks(text, end);
        const size_t number = signedNumberEnd(text, v);
        if (number > v) {
          i = number;
        } else if (text.substr(v, wordEnd(text, v) - v) == "COMP") {
          i = text.find(' ', v);
          if (i == std::string_view::npos) i = text.size();
        } else {
          // Not a plain number: the value runs to its closing brackets, so it comes last.
          i = assignmentValueEnd(text, v);
        }
        e.value = std::string(text.substr(v, i - v));
      }
      // A parameter number with no value after it sets nothing.
      if (trimBlanks(e.value).empty()) continue;
      out.push_back(std::move(e));
    } else if (text.substr(i, wordEnd(text, i) - i) == "TXT" && i + 3 < text.size() && text[i + 3] == '[') {
      const TxtSpan span = txtSpanAt(text, i);
      out.push_back({0, "TXT", {}, std::string(text.substr(span.start, span.end - span.start))});
      i = span.closed ? span.end + 1 : span.end;
    } else {
      // A word that is no expression is passed over.
      const size_t end = text.find(' ', i);
      i = end == std::string_view::npos ? text.size() : std::max(end, i + 1);
    }
  }
  return out;
}

float evaluateValue(std::string_view value, const CItem& item, const CItemStore& store, const CCandidateSets& sets) {
  const auto flat = [&](const std::string& text) {
    return detail::arithmetic(detail::lex(text),
                              [&](const detail::Operand& o) { return detail::operandValue(o, item, store, sets); });
  };
  const std::string reduced = detail::reduceBrackets(
      std::string(value), [&](const std::string& inner) { return detail::numberText(flat(inner)); });
  return static_cast<float>(flat(reduced));
}

ApplyResult applyOperation(OperationContext& ctx, const std::vector<CParamExpression>& expressions, int listIndex,
                           StaveList::iterator it) {
  Changer changer(ctx);
  CItem& item = *it;
  for (const CParamExpression& e : expressions) {
    if (e.parameterNumber != 0.0f) {
      const float w = evaluateValue(e.value, item, ctx.store, ctx.candidates);
      assign(changer, item, e.parameterNumber, e.op, w);
    } else if (e.op == "DEL") {
      ctx.store.eraseItem(listIndex, it);
      return ApplyResult::Deleted;
    } else if (e.op == "TXT") {
      replaceText(ctx, changer, item, e.text);
    } else if (e.op == "INS") {
      insertItem(ctx, changer, item, e.value);
    } else if (e.op == "APP") {
      if (append(ctx, changer, e) == ApplyResult::Stopped) return ApplyResult::Stopped;
    }
    if (changer.stopped()) return ApplyResult::Stopped;
  }
  return ApplyResult::Done;
}

ApplyResult appendScoreFile(OperationContext& ctx, const CParamExpression& app) {
  Changer changer(ctx);
  return append(ctx, changer, app);
}

std::string resolveAppendPath(const std::string& projectFolder, std::string_view name) {
  std::string path(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (fileExists(path.starts_with('/') ? path : projectFolder + path))
    return path.starts_with('/') ? path : projectFolder + path;
  std::string resolved = path.starts_with('/') ? "/" : projectFolder;
  size_t i = 0;
  while (i < path.size()) {
    const size_t slash = path.find('/', i);
    const std::string part = path.substr(i, slash == std::string::npos ? std::string::npos : slash - i);
    if (!part.empty()) {
      resolved = resolveCaseInsensitive(resolved, part);
      if (slash != std::string::npos) resolved += '/';
    }
    if (slash == std::string::npos) break;
    i = slash + 1;
  }
  return resolved;
}

} // namespace velmora
