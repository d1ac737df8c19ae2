#include "inspect/ScoreText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "base/ByteReader.h"
#include "base/Format.h"
#include "edit/ItemText.h"

namespace velmora {

namespace {

// Keeps the reader's messages instead of showing them; never cancels.
class CollectingHost final : public IHost {
public:
  std::string message;
  void showMessage(const std::string& text) override {
    if (message.empty()) message = text;
  }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  Pump pump() override { return Pump::GoOn; }
  int chooseFiles(FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
};

class CollectingSink final : public IItemSink {
public:
  explicit CollectingSink(RawScore& score) : score_(score) {}
  bool store(std::span<const float> params) override {
    score_.items.push_back({0, std::vector<float>(params.begin(), params.end())});
    return true;
  }

private:
  RawScore& score_;
};

std::string hexWord(uint32_t bits, int digits = 8) { return strprintf("0x%0*X", digits, bits); }

// What a comment line may hold of a text item's bytes.
std::string printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x20 || c == 0x7F)
      out += strprintf("\\x%02X", c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string itemText(const std::vector<float>& params) { return itemTextByLength(CItem(params)); }

bool isTextItem(const std::vector<float>& params) { return !params.empty() && intPart(params[0]) == 16; }

} // namespace

int readRawScore(IHost& host, const ScoreFile& file, RawScore& score) {
  score = RawScore{};
  CItemStore store;
  const int opened = openScoreBytes(host, store, file);
  if (opened != 1) return opened;
  CollectingSink sink(score);
  if (readItems(host, file, store, sink) != 1) return 0;
  // The framing has checked every length; the count words and the header
  // are taken from the bytes as they stand.
  score.wordTotal = store.wordTotal;
  score.headerBytes = headerWidth(store.wordTotal);
  ByteReader in(file.bytes);
  score.headerBits = score.headerBytes == 2 ? in.u16() : in.u32();
  for (RawItem& item : score.items) {
    item.countBits = in.u32();
    in.seek(in.offset() + item.params.size() * 4);
  }
  score.trailer.resize(store.trailer.size() / 4);
  for (uint32_t& word : score.trailer)
    word = in.u32();
  return in.ok() ? 1 : 0;
}

int readRawScoreFile(IHost& host, const std::string& path, RawScore& score) {
  ScoreFile file;
  CItemStore store;
  const int opened = openScoreFile(host, path, store, file);
  if (opened != 1) return opened;
  return readRawScore(host, file, score);
}

std::string floatText(float value) {
  const bool odd = !std::isfinite(value) || (value != 0.0f && !std::isnormal(value));
  if (odd) return hexWord(std::bit_cast<uint32_t>(value));
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool parseFloatText(std::string_view text, float& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() != 10) return false;
    uint32_t bits = 0;
    const auto result = std::from_chars(text.data() + 2, text.data() + text.size(), bits, 16);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    value = std::bit_cast<float>(bits);
    return true;
  }
  if (text.empty() || text[0] == '+') return false;
  double wide = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), wide);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  if (!std::isfinite(wide)) return false;
  // Through float's own parser, so that the shortest form reads back exactly
  // (3.4028235e+38 is the largest float, though above it as a double).
  const auto narrow = std::from_chars(text.data(), text.data() + text.size(), value);
  if (narrow.ec == std::errc()) return true;
  // Out of range: too large is refused, too small rounds to a subnormal or zero.
  if (std::fabs(wide) >= 1.0) return false;
  value = static_cast<float>(wide);
  return true;
}

std::string dumpScore(const RawScore& score, const std::string& name) {
  std::string out;
  if (!name.empty()) out += "# file " + name + "\n";
  out += "# header " + hexWord(score.headerBits, score.headerBytes * 2) + strprintf(", %d bytes\n", score.headerBytes);
  out += strprintf("# words %d\n", score.wordTotal);
  for (const RawItem& item : score.items) {
    std::string line;
    const float count = static_cast<float>(item.params.size());
    if (item.countBits != std::bit_cast<uint32_t>(count)) line += "@" + hexWord(item.countBits) + " ";
    for (size_t i = 0; i < item.params.size(); ++i)
      line += (i ? " " : "") + floatText(item.params[i]);
    out += line + "\n";
    if (isTextItem(item.params)) out += "# text " + printable(itemText(item.params)) + "\n";
  }
  out += "# trailer";
  for (uint32_t word : score.trailer)
    out += " " + hexWord(word);
  return out + "\n";
}

namespace {

// Three decimals rounded half away from zero, as the listings have them.
std::string fixed(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  double rounded = std::round(value * scale) / scale;
  if (rounded == 0.0) rounded = 0.0;
  return strprintf("%.*f", decimals, rounded);
}

// The code number in six columns with as many decimals as fit.
std::string codeColumn(float value) {
  for (int decimals = 4; decimals > 0; --decimals) {
    const std::string text = fixed(value, decimals);
    if (text.size() <= 6) return std::string(6 - text.size(), ' ') + text;
  }
  return fixed(value, 0);
}

// Nine columns, and a blank before a number too wide for them.
std::string column(float value) {
  const std::string text = fixed(value, 3);
  return text.size() < 9 ? std::string(9 - text.size(), ' ') + text : " " + text;
}

// The name of a graphic item (code 15): characters from P14 to a zero byte, blanks trimmed.
std::string graphicName(const std::vector<float>& params) {
  std::string name = itemTextToZero(CItem(params));
  while (!name.empty() && name.back() == ' ')
    name.pop_back();
  return name;
}

} // namespace

std::string dumpScorePmx(const RawScore& score, const std::string& name) {
  std::string out;
  if (!name.empty()) out += "# file " + name + "\n";
  for (const RawItem& item : score.items) {
    const auto& p = item.params;
    const int code = intPart(p[0]);
    // P14 onwards of text and graphic items hold characters, which follow on a line of their own.
    const size_t shown = code == 15 || code == 16 ? std::min<size_t>(p.size(), 13) : p.size();
    std::string line = code == 16 ? std::string("t     ") : codeColumn(p[0]);
    for (size_t i = 1; i < shown; ++i)
      line += column(p[i]);
    out += line + "\n";
    if (code == 16) out += itemText(p) + "\n";
    if (code == 15 && p.size() > 13) out += graphicName(p) + "\n";
  }
  return out;
}

std::vector<uint8_t> encodeRawScore(const RawScore& score) {
  ByteWriter out;
  if (score.headerBytes == 2)
    out.u16(static_cast<uint16_t>(score.headerBits));
  else
    out.u32(score.headerBits);
  for (const RawItem& item : score.items) {
    out.u32(item.countBits);
    out.f32s(item.params);
  }
  for (uint32_t word : score.trailer)
    out.u32(word);
  return std::move(out.buffer());
}

namespace {

std::vector<std::string_view> tokens(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t')
      ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

bool parseHexBits(std::string_view text, size_t digits, uint32_t& bits) {
  if (text.size() != digits + 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
  const auto result = std::from_chars(text.data() + 2, text.data() + text.size(), bits, 16);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// A token as a message quotes it: long ones cut, so a hostile line cannot flood the message.
std::string quoted(std::string_view token) {
  constexpr size_t kShown = 40;
  return token.size() <= kShown ? std::string(token) : std::string(token.substr(0, kShown)) + "...";
}

// Items longer than this cannot be counted by a SCORE reader.
constexpr size_t kMaxParams = 32767;
constexpr int64_t kMaxHeaderTotal = 65535;

} // namespace

bool undumpScore(std::string_view text, std::vector<uint8_t>& bytes, std::string& error) {
  RawScore score;
  bool haveHeader = false;
  bool haveTrailer = false;
  int recordedWidth = 0;
  uint32_t recordedBits = 0;
  int lineNumber = 0;
  int64_t itemWords = 0;
  int overLine = 0; // where the items alone leave no room for the shortest trailer
  auto fail = [&](const std::string& why) {
    error = strprintf("line %d: ", lineNumber) + why;
    return false;
  };
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto words = tokens(line);
    if (words.empty()) continue;
    if (words[0][0] == '#') {
      // Comments other than the header and the trailer are for the reader.
      const std::string_view key = words[0].size() > 1 ? words[0].substr(1) : (words.size() > 1 ? words[1] : "");
      const size_t first = words[0].size() > 1 ? 1 : 2;
      if (key == "header") {
        if (haveHeader) return fail("a second header; a text holds one SCORE file");
        if (!score.items.empty()) return fail("the header comes after items");
        if (words.size() <= first) return fail("the header line holds no header word");
        std::string_view word = words[first];
        if (word.ends_with(',')) word.remove_suffix(1);
        if (parseHexBits(word, 4, recordedBits))
          recordedWidth = 2;
        else if (parseHexBits(word, 8, recordedBits))
          recordedWidth = 4;
        else
          return fail("the header word " + quoted(word) + " is not 4 or 8 hexadecimal digits after 0x");
        haveHeader = true;
      } else if (key == "trailer") {
        if (haveTrailer) return fail("a second trailer");
        for (size_t i = first; i < words.size(); ++i) {
          float value = 0.0f;
          if (!parseFloatText(words[i], value))
            return fail("the trailer word " + quoted(words[i]) + " is not a number or 0x and 8 hex digits");
          score.trailer.push_back(std::bit_cast<uint32_t>(value));
        }
        if (score.trailer.size() < 2) return fail("the trailer needs at least 2 words");
        if (score.trailer.size() > 32767) return fail("the trailer is longer than 32767 words");
        haveTrailer = true;
      }
      continue;
    }
    if (haveTrailer) return fail("an item after the trailer");
    RawItem item;
    size_t i = 0;
    bool countGiven = false;
    if (words[0][0] == '@') {
      if (!parseHexBits(words[0].substr(1), 8, item.countBits))
        return fail("the count word " + quoted(words[0]) + " is not @0x and 8 hex digits");
      countGiven = true;
      i = 1;
    }
    for (; i < words.size(); ++i) {
      float value = 0.0f;
      if (!parseFloatText(words[i], value))
        return fail(strprintf("P%zu: %s is not a 32-bit float", item.params.size() + 1, quoted(words[i]).c_str()));
      item.params.push_back(value);
    }
    const size_t n = item.params.size();
    if (n > kMaxParams) return fail(strprintf("the item has %zu parameters, more than 32767", n));
    const double p1 = n >= 1 ? item.params[0] : 0.0;
    const double p2 = n >= 2 ? item.params[1] : 0.0;
    if (!(p1 >= 1.0 && p1 <= 18.99))
      return fail("invalid code number P1 = " + (n ? floatText(item.params[0]) : std::string("(none)")) +
                  "; codes are 1 to 18");
    if (!(p2 >= 1.0 && p2 <= 200.0))
      return fail("invalid stave number P2 = " + (n >= 2 ? floatText(item.params[1]) : std::string("(none)")) +
                  "; staves are 1 to 200");
    const float count = static_cast<float>(n);
    if (countGiven) {
      // A count word must still give the item's length to a reader.
      const float given = std::bit_cast<float>(item.countBits);
      if (!(given > -1.0f && given < 32768.0f) || static_cast<size_t>(static_cast<int16_t>(given)) != n)
        item.countBits = std::bit_cast<uint32_t>(count);
    } else {
      item.countBits = std::bit_cast<uint32_t>(count);
    }
    itemWords += 1 + static_cast<int64_t>(n);
    if (overLine == 0 && itemWords + 2 > kMaxHeaderTotal) overLine = lineNumber;
    score.items.push_back(std::move(item));
  }
  ++lineNumber;
  const int endLine = lineNumber;
  if (!haveTrailer) return fail("no \"# trailer\" line; a SCORE file ends in a trailer");

  int64_t total = static_cast<int64_t>(score.trailer.size());
  for (const RawItem& item : score.items)
    total += 1 + static_cast<int64_t>(item.params.size());
  // The trailer's second-to-last word gives its length to the readers.
  const size_t lengthWord = score.trailer.size() - 2;
  const float lengthValue = std::bit_cast<float>(score.trailer[lengthWord]) + 1.0f;
  if (!(lengthValue >= 0.0f && lengthValue < 32768.0f) ||
      static_cast<size_t>(static_cast<int16_t>(lengthValue)) != score.trailer.size())
    score.trailer[lengthWord] = std::bit_cast<uint32_t>(static_cast<float>(score.trailer.size() - 1));

  const bool recordedFits = haveHeader && recordedWidth == headerWidth(static_cast<int32_t>(total)) &&
                            decodeHeaderWord(static_cast<int32_t>(recordedBits)) == total;
  if (recordedFits) {
    score.headerBytes = recordedWidth;
    score.headerBits = recordedBits;
  } else {
    lineNumber = overLine != 0 ? overLine : endLine;
    if (total > kMaxHeaderTotal)
      return fail(strprintf("the file would hold %lld words, more than a SCORE header can give (65535)",
                            static_cast<long long>(total)));
    score.headerBytes = headerWidth(static_cast<int32_t>(total));
    score.headerBits = static_cast<uint32_t>(total);
  }
  score.wordTotal = static_cast<int32_t>(total);
  bytes = encodeRawScore(score);

  // Nothing leaves here that the readers would refuse.
  CollectingHost host;
  ScoreFile file{"the text", bytes};
  RawScore check;
  if (readRawScore(host, file, check) != 1) return fail("the readers refuse the result: " + host.message);
  return true;
}

} // namespace velmora
