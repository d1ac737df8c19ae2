#include "beams/BeamLibrary.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <tuple>

#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "base/CountedString.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "beams/Messages.h"

namespace velmora {

namespace {

constexpr std::array<BeamLibraryInfo, kBeamLibraryCount> kLibraries{{
    {"BUP8THS.DAT", "UP 8THS", "Up 8ths"},
    {"BDN8THS.DAT", "DOWN 8THS", "Down 8ths"},
    {"BUP16THS.DAT", "UP 16THS", "Up 16ths"},
    {"BDN16THS.DAT", "DOWN 16THS", "Down 16ths"},
    {"BUP32NDS.DAT", "UP 32NDS", "Up 32nds"},
    {"BDN32NDS.DAT", "DOWN 32NDS", "Down 32nds"},
    {"BUPGRACE.DAT", "UP GRACE", "Up grace"},
    {"BDNGRACE.DAT", "DOWN GRACE", "Down grace"},
}};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "<" ranks before exact, exact before ">".
int compareRank(int32_t compare) {
  switch (compare) {
  case kCompareBelow: return 0;
  case kCompareAbove: return 2;
  default: return 1;
  }
}

void appendNoteField(std::string& out, float value, int32_t compare) {
  const char* format = compare == kCompareBelow ? "<%d\t" : compare == kCompareAbove ? ">%d\t" : "%d\t";
  out += strprintf(format, truncateToInt(value));
}

// "%.3f\t", without the locale's decimal point.
void appendEndpoint(std::string& out, float value) {
  if (!std::isfinite(value)) value = 0.0f;
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 3);
  out.append(buffer, result.ptr);
  out += '\t';
}

} // namespace

const BeamLibraryInfo& beamLibraryInfo(int index) {
  return kLibraries[static_cast<size_t>(isValidBeamLibrary(index) ? index : 0)];
}

int32_t truncateToInt(double value) {
  if (!(value == value)) return 0;
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

float parseNumberField(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i]))
    ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i]))
    ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i]))
      ++i, ++digits;
  }
  if (digits == 0) return 0.0f;
  // An exponent counts only with at least one digit after it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j]))
        ++j;
      i = j;
    }
  }
  // from_chars, unlike strtod, ignores the locale and takes no "+".
  std::string_view number = text.substr(start, i - start);
  const bool negative = number.front() == '-';
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    const size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : (negative ? -DBL_MAX : DBL_MAX);
  }
  // Out-of-range numbers stay finite, so every later write and cast is defined.
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(value);
}

BeamField parseNoteField(std::string_view text) {
  size_t run = 0;
  while (run < text.size() && (text[run] == '<' || text[run] == '>'))
    ++run;
  BeamField field;
  const std::string_view prefix = text.substr(0, run);
  field.compare = prefix == "<" ? kCompareBelow : prefix == ">" ? kCompareAbove : kCompareEqual;
  field.value = parseNumberField(text.substr(run));
  return field;
}

std::array<std::string, 5> splitBeamRecord(std::string_view record) {
  std::array<std::string, 5> fields;
  std::string_view rest = record.empty() ? record : record.substr(1);
  for (auto& field : fields) {
    if (rest.empty()) break;
    const size_t tab = rest.find('\t');
    field = std::string(rest.substr(0, tab));
    rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
  }
  return fields;
}

CBeamAngle parseBeamRecord(std::string_view record) {
  const auto fields = splitBeamRecord(record);
  CBeamAngle entry;
  const BeamField left = parseNoteField(fields[0]);
  const BeamField mid = parseNoteField(fields[1]);
  const BeamField right = parseNoteField(fields[2]);
  entry.left = left.value;
  entry.leftCompare = left.compare;
  entry.mid = mid.value;
  entry.midCompare = mid.compare;
  entry.right = right.value;
  entry.rightCompare = right.compare;
  entry.leftEnd = parseNumberField(fields[3]);
  entry.rightEnd = parseNumberField(fields[4]);
  return entry;
}

std::string beamRecordText(const CBeamAngle& entry) {
  std::string text = "\t";
  appendNoteField(text, entry.left, entry.leftCompare);
  appendNoteField(text, entry.mid, entry.midCompare);
  appendNoteField(text, entry.right, entry.rightCompare);
  appendEndpoint(text, entry.leftEnd);
  appendEndpoint(text, entry.rightEnd);
  return text;
}

bool ranksAfter(const CBeamAngle& a, const CBeamAngle& b) {
  const auto key = [](const CBeamAngle& e) {
    return std::make_tuple(e.left, compareRank(e.leftCompare), e.mid, compareRank(e.midCompare), e.right,
                           compareRank(e.rightCompare));
  };
  return key(b) < key(a);
}

void insertInOrder(CBeamLibrary& library, const CBeamAngle& entry) {
  if (entry.left == kNoMidNote) {
    library.insert(library.begin(), entry);
    return;
  }
  auto it = library.begin();
  while (it != library.end() && !ranksAfter(*it, entry))
    ++it;
  library.insert(it, entry);
}

LibraryRead readLibraryRecords(const std::string& path, std::vector<std::string>& records, std::string& why) {
  records.clear();
  std::vector<uint8_t> bytes;
  const ReadResult read = readWholeFile(path, bytes, kMaxLibraryFileBytes);
  if (read == ReadResult::CannotOpen) return LibraryRead::CannotOpen;
  if (read == ReadResult::TooLarge) {
    why = "the file is larger than any beam library";
    return LibraryRead::Damaged;
  }
  return decodeLibraryRecords(bytes, records, why);
}

LibraryRead decodeLibraryRecords(std::span<const uint8_t> bytes, std::vector<std::string>& records, std::string& why) {
  records.clear();
  ByteReader in(bytes);
  while (!in.atEnd()) {
    std::string record = readCountedString(in);
    if (!in.ok()) {
      why = in.error();
      return LibraryRead::Damaged;
    }
    // An empty record holds no entry; the records after it are kept.
    if (record.empty()) continue;
    records.push_back(std::move(record));
  }
  return LibraryRead::Loaded;
}

std::vector<uint8_t> libraryBytes(std::span<const std::string> records) {
  ByteWriter out;
  for (const std::string& record : records)
    if (!record.empty()) writeCountedString(out, record);
  return std::move(out.buffer());
}

bool writeLibraryRecords(const std::string& path, std::span<const std::string> records, std::string* error) {
  return writeFileAtomic(path, libraryBytes(records), error);
}

std::string beamLibraryPath(const std::string& projectFolder, int index) {
  return resolveCaseInsensitive(projectFolder, beamLibraryInfo(index).fileName);
}

void CBeamLibraries::clear(int kind, BeamStems stems) {
  for (int index = 0; index < kBeamLibraryCount; ++index) {
    if (kind >= 0 && index / 2 != kind) continue;
    if (stems == BeamStems::Up && isDownLibrary(index)) continue;
    if (stems == BeamStems::Down && !isDownLibrary(index)) continue;
    libraries_[static_cast<size_t>(index)].clear();
    incomplete_[static_cast<size_t>(index)] = false;
  }
}

void CBeamLibraries::load(IHost& host, const std::string& projectFolder, int index) {
  if (!isValidBeamLibrary(index)) return;
  CBeamLibrary& library = libraries_[static_cast<size_t>(index)];
  library.clear();
  const std::string path = beamLibraryPath(projectFolder, index);
  std::vector<std::string> records;
  std::string why;
  const LibraryRead read = readLibraryRecords(path, records, why);
  // Writing back a file that exists but was not read would lose what it holds.
  incomplete_[static_cast<size_t>(index)] =
      read == LibraryRead::Damaged || (read != LibraryRead::Loaded && fileExists(path));
  if (read == LibraryRead::CannotOpen) host.showMessage(strprintf(beams_msg::kUnableToOpen, path.c_str()));
  if (read == LibraryRead::Damaged) host.showMessage(strprintf(beams_msg::kLibraryDamaged, path.c_str(), why.c_str()));
  library.reserve(records.size());
  for (const std::string& record : records)
    library.push_back(parseBeamRecord(record));
}

void CBeamLibraries::loadAll(IHost& host, const std::string& projectFolder) {
  for (int index = 0; index < kBeamLibraryCount; ++index)
    load(host, projectFolder, index);
}

bool CBeamLibraries::saveAll(IHost& host, const std::string& projectFolder) {
  bool saved = true;
  for (int index = 0; index < kBeamLibraryCount; ++index) {
    const std::string path = beamLibraryPath(projectFolder, index);
    if (incomplete_[static_cast<size_t>(index)]) {
      host.showMessage(strprintf(beams_msg::kLibraryNotSaved, path.c_str()));
      saved = false;
      continue;
    }
    std::vector<std::string> records;
    records.reserve(libraries_[static_cast<size_t>(index)].size());
    for (const CBeamAngle& entry : libraries_[static_cast<size_t>(index)])
      records.push_back(beamRecordText(entry));
    // A read-only library is made writable for the save and read-only again after it.
    const bool readOnly = isReadOnlyFile(path);
    const bool writable = !readOnly || setReadOnlyFile(path, false) == 0;
    if (!writable || !writeLibraryRecords(path, records)) {
      host.showMessage(strprintf(beams_msg::kUnableToOpen, path.c_str()));
      saved = false;
    }
    if (readOnly && writable) setReadOnlyFile(path, true);
  }
  return saved;
}

size_t CBeamLibraries::entryCount() const {
  size_t n = 0;
  for (const CBeamLibrary& library : libraries_)
    n += library.size();
  return n;
}

bool CBeamLibraries::empty() const {
  for (const auto& library : libraries_)
    if (!library.empty()) return false;
  return true;
}

} // namespace velmora
