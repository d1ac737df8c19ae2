#include "justify/JustifySettings.h"

#include "base/Format.h"
#include "justify/Messages.h"
#include "settings/Messages.h"
#include "settings/Serialize.h"

namespace velmora {

bool acceptJustifySettings(IHost& host, const JustifyOptions& options) {
  // Compared as float, so a typed 0.01 passes; NaN never does.
  if (options.minimumSpace >= kMinimumJustifySpace) return true;
  host.askOkCancel(justify_msg::kMinimumSpace);
  return false;
}

bool loadJustifySettingsFile(IHost& host, const std::string& path, JustifyOptions& options) {
  // Into a copy: a file that ends early must not leave half its values behind.
  JustifyOptions loaded = options;
  const LoadResult read = loadJustifyFile(path, loaded);
  if (read != LoadResult::Loaded) {
    host.showMessage(strprintf(
        read == LoadResult::Damaged ? settings_msg::kDamagedNotLoaded : justify_msg::kUnableToOpen, path.c_str()));
    return false;
  }
  options = loaded;
  return true;
}

bool saveJustifySettingsFile(IHost& host, const std::string& path, const JustifyOptions& options) {
  std::string error;
  WriteStage stage = WriteStage::None;
  if (saveJustifyFile(path, options, &error, &stage)) return true;
  host.showMessage(writeFailureMessage(path, stage, error));
  return false;
}

JustifyWidthValues justifyWidthValues(const JustifyOptions& options) {
  JustifyOptions copy = options;
  JustifyWidthValues values{};
  const auto fields = justifyWidths(copy);
  for (size_t i = 0; i < kJustifyWidthCount; ++i)
    values[i] = *fields[i];
  return values;
}

void setJustifyWidthValues(JustifyOptions& options, const JustifyWidthValues& values) {
  const auto fields = justifyWidths(options);
  for (size_t i = 0; i < kJustifyWidthCount; ++i)
    *fields[i] = values[i];
}

std::span<const JustifyWidthLabel, kJustifyWidthCount> justifyWidthLabels() {
  static constexpr const char* kLedger = "Ledger lines (one side only)";
  static constexpr std::array<JustifyWidthLabel, kJustifyWidthCount> kLabels{{
      {"Noteheads", "Quarter/Half"},
      {"Noteheads", "Whole"},
      {"Noteheads", "Double whole"},
      {"Accidentals", "Flat"},
      {"Accidentals", "Sharp"},
      {"Accidentals", "Natural"},
      {"Accidentals", "Double flat"},
      {"Accidentals", "Double sharp"},
      {"Accidentals", "1/4 flat"},
      {"Accidentals", "3/4 flat"},
      {"Accidentals", "1/4 sharp"},
      {"Accidentals", "3/4 sharp"},
      {kLedger, "Quarter/Half"},
      {kLedger, "Whole"},
      {kLedger, "Double whole"},
      {"Other", "Rhythm dot"},
      {"Other", "Note flag"},
      {"Other", "Note parenthesis"},
      {"Other", "Accidental parenthesis"},
  }};
  return kLabels;
}

} // namespace velmora
