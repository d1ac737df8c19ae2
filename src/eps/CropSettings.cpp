#include "eps/CropSettings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/Format.h"
#include "eps/EpsFile.h"
#include "eps/Messages.h"
#include "settings/Messages.h"
#include "settings/Serialize.h"

namespace velmora {

namespace {

constexpr std::array<PaperSize, 6> kPapers{{
    {"A4", 595, 841},
    {"B4", 729, 1032},
    {"A3", 841, 1191},
    {"Letter", 612, 792},
    {"Legal", 612, 1008},
    {"Ledger", 792, 1224},
}};

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool parseInteger(const std::string& text, int32_t& out) {
  const std::string t = trimmed(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(t.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int32_t>(v);
  return true;
}

bool parseNumber(const std::string& text, float& out) {
  const std::string t = trimmed(text);
  if (t.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v) || std::fabs(v) > 3.0e38) return false;
  out = static_cast<float>(v);
  return true;
}

} // namespace

const std::array<PaperSize, 6>& paperSizes() { return kPapers; }

bool applyPaperSize(CropOptions& options, int paperSize, bool landscape) {
  if (paperSize < 0 || paperSize >= static_cast<int>(kPapers.size())) return false;
  const PaperSize& paper = kPapers[static_cast<size_t>(paperSize)];
  options.paperSize = paperSize;
  options.landscape = landscape ? 1 : 0;
  options.boxX1 = 0;
  options.boxY1 = 0;
  options.boxX2 = landscape ? paper.height : paper.width;
  options.boxY2 = landscape ? paper.width : paper.height;
  return true;
}

void applyBoxOffset(CropOptions& options, bool horizontal, int arrowDelta) {
  const int32_t step = arrowDelta < 0 ? 1 : arrowDelta > 0 ? -1 : 0;
  // The box moves as a whole or not at all.
  int32_t& low = horizontal ? options.boxX1 : options.boxY1;
  int32_t& high = horizontal ? options.boxX2 : options.boxY2;
  const long long newLow = static_cast<long long>(low) + step;
  const long long newHigh = static_cast<long long>(high) + step;
  if (newLow < INT_MIN || newLow > INT_MAX || newHigh < INT_MIN || newHigh > INT_MAX) return;
  low = static_cast<int32_t>(newLow);
  high = static_cast<int32_t>(newHigh);
}

CropFieldTexts cropFieldTexts(const CropOptions& o) {
  const auto i = [](int32_t v) { return std::to_string(v); };
  return {i(o.boxX1),   i(o.boxY1),   i(o.boxX2),      i(o.boxY2),
          i(o.originX), i(o.originY), i(o.markLength), strprintf("%.6g", static_cast<double>(o.markThickness))};
}

CropFieldProblem readCropFieldTexts(const CropFieldTexts& texts, CropOptions& options) {
  CropOptions read = options;
  const struct {
    const std::string* text;
    int32_t* value;
    CropField field;
  } integers[] = {
      {&texts.boxX1, &read.boxX1, CropField::BoxX1},
      {&texts.boxY1, &read.boxY1, CropField::BoxY1},
      {&texts.boxX2, &read.boxX2, CropField::BoxX2},
      {&texts.boxY2, &read.boxY2, CropField::BoxY2},
      {&texts.originX, &read.originX, CropField::OriginX},
      {&texts.originY, &read.originY, CropField::OriginY},
      {&texts.markLength, &read.markLength, CropField::MarkLength},
  };
  for (const auto& entry : integers) {
    if (!parseInteger(*entry.text, *entry.value)) return {entry.field, eps_msg::kEnterInteger};
  }
  if (read.markLength < kMinMarkLength || read.markLength > kMaxMarkLength)
    return {CropField::MarkLength, strprintf(eps_msg::kIntegerRange, kMinMarkLength, kMaxMarkLength)};
  if (!parseNumber(texts.markThickness, read.markThickness)) return {CropField::MarkThickness, eps_msg::kEnterNumber};
  if (read.markThickness < kMinMarkThickness || read.markThickness > kMaxMarkThickness)
    return {CropField::MarkThickness, strprintf(eps_msg::kNumberRange, "0.1", "5.0")};
  options = read;
  return {};
}

bool loadCropFile(const std::string& path, CropOptions& options, std::string& message) {
  std::vector<uint8_t> data;
  const LoadResult opened = readSettingsBytes(path, data);
  if (opened == LoadResult::Loaded && data.empty()) return true;
  CropOptions read = options;
  if (opened == LoadResult::CannotOpen) {
    message = strprintf(eps_msg::kUnableToOpen, path.c_str());
    return false;
  }
  if (opened == LoadResult::Damaged || loadRecord(data, read) != LoadResult::Loaded) {
    message = strprintf(settings_msg::kDamagedNotLoaded, path.c_str());
    return false;
  }
  options = read;
  return true;
}

bool saveCropFile(const std::string& path, const CropOptions& options, std::string& message) {
  std::string error;
  WriteStage stage = WriteStage::Create;
  if (isReadOnlyFile(path) || !saveRecordFile(path, options, &error, &stage)) {
    message = writeFailureMessage(path, stage, error);
    return false;
  }
  return true;
}

} // namespace velmora
