#include "app/SettingsFields.h"

#include <charconv>
#include <climits>
#include <cmath>

#include "base/FileSystem.h"
#include "base/Format.h"
#include "eps/CropSettings.h"

namespace velmora {

namespace {

enum class Rule { Flag, Int, Float, Extension, ExtensionAsTyped, ExtensionAnyLength, Subfolder };

// One field's name, rule and range; `apply` sees each in file order.
struct Limits {
  Rule rule;
  double low = 0;
  double high = 0;
};

constexpr Limits kFlag{Rule::Flag, 0, 1};
constexpr Limits kAnyInt{Rule::Int, INT_MIN, INT_MAX};

template <class V> void fields(GeneralPrefs& r, V&& v) {
  v("projectSubfolder", r.projectSubfolder, Limits{Rule::Subfolder});
  v("useExplorerDialog", r.useExplorerDialog, kFlag);
}
template <class V> void fields(OptimizeOptions& r, V&& v) {
  v("deleteBraces", r.deleteBraces, kFlag);
  v("deleteBrackets", r.deleteBrackets, kFlag);
  v("deleteStraightBrackets", r.deleteStraightBrackets, kFlag);
  v("showStaveDeleteWindow", r.showStaveDeleteWindow, kFlag);
  v("extension", r.extension, Limits{Rule::Extension});
  v("showInstrumentDeleteWindow", r.showInstrumentDeleteWindow, kFlag);
}
template <class V> void fields(UnoptimizeOptions& r, V&& v) {
  v("insertBraces", r.insertBraces, kFlag);
  v("insertBrackets", r.insertBrackets, kFlag);
  v("insertStraightBrackets", r.insertStraightBrackets, kFlag);
  v("showStaveInsertWindow", r.showStaveInsertWindow, kFlag);
  v("extension", r.extension, Limits{Rule::Extension});
}
template <class V> void fields(EditOptions& r, V&& v) {
  v("extension", r.extension, Limits{Rule::Extension});
  v("rememberLastMacro", r.rememberLastMacro, kFlag);
  v("promptBeforeOperation", r.promptBeforeOperation, kFlag);
  v("allowDragging", r.allowDragging, kFlag);
  v("extendedParameters", r.extendedParameters, kFlag);
  v("limitNameLength", r.limitNameLength, kFlag);
  v("fourPointPrecision", r.fourPointPrecision, kFlag);
  v("saveOnlyIfModified", r.saveOnlyIfModified, kFlag);
}
template <class V> void fields(JustifyOptions& r, V&& v) {
  const Limits width{Rule::Float, -1e9, 1e9};
  v("extension", r.extension, Limits{Rule::ExtensionAnyLength});
  v("promptBeforeOperation", r.promptBeforeOperation, kFlag);
  v("recognizeStretchedNotes", r.recognizeStretchedNotes, kFlag);
  v("minimumSpace", r.minimumSpace, width);
  v("noteheadQuarterHalf", r.noteheadQuarterHalf, width);
  v("noteheadWhole", r.noteheadWhole, width);
  v("noteheadDoubleWhole", r.noteheadDoubleWhole, width);
  v("accidentalFlat", r.accidentalFlat, width);
  v("accidentalSharp", r.accidentalSharp, width);
  v("accidentalNatural", r.accidentalNatural, width);
  v("accidentalDoubleFlat", r.accidentalDoubleFlat, width);
  v("accidentalDoubleSharp", r.accidentalDoubleSharp, width);
  v("quarterFlat", r.quarterFlat, width);
  v("threeQuarterFlat", r.threeQuarterFlat, width);
  v("quarterSharp", r.quarterSharp, width);
  v("threeQuarterSharp", r.threeQuarterSharp, width);
  v("ledgerQuarterHalf", r.ledgerQuarterHalf, width);
  v("ledgerWhole", r.ledgerWhole, width);
  v("ledgerDoubleWhole", r.ledgerDoubleWhole, width);
  v("rhythmDot", r.rhythmDot, width);
  v("noteParenthesis", r.noteParenthesis, width);
  v("accidentalParenthesis", r.accidentalParenthesis, width);
  v("extraSpaceFirstNote", r.extraSpaceFirstNote, width);
  v("extraSpaceOpeningTie", r.extraSpaceOpeningTie, width);
  v("barlineType", r.barlineType, kAnyInt);
  v("noteFlag", r.noteFlag, width);
}
template <class V> void fields(BeamOptions& r, V&& v) {
  v("extension", r.extension, Limits{Rule::Extension});
  v("allowNoAngleDialog", r.allowNoAngleDialog, kFlag);
  v("p18GraceBeams", r.p18GraceBeams, kFlag);
  v("skip64ths", r.skip64ths, kFlag);
  v("replaceLibraryAngles", r.replaceLibraryAngles, kFlag);
  v("horizontalRule", r.horizontalRule, Limits{Rule::Int, 0, 2});
  v("horizontalIfDirectionChanges", r.horizontalIfDirectionChanges, kFlag);
  v("horizontalIfPitchRepeated", r.horizontalIfPitchRepeated, kFlag);
}
template <class V> void fields(RunOptions& r, V&& v) {
  v("runStaveTask", r.runStaveTask, kFlag);
  v("staveTaskIsUnoptimize", r.staveTaskIsUnoptimize, kFlag);
  v("runBeamAngles", r.runBeamAngles, kFlag);
  v("runEdit", r.runEdit, kFlag);
  v("extension", r.extension, Limits{Rule::ExtensionAsTyped});
  v("runJustify", r.runJustify, kFlag);
}
template <class V> void fields(CropOptions& r, V&& v) {
  v("paperSize", r.paperSize, Limits{Rule::Int, 0, static_cast<double>(paperSizes().size() - 1)});
  v("originX", r.originX, kAnyInt);
  v("originY", r.originY, kAnyInt);
  v("boxX1", r.boxX1, kAnyInt);
  v("boxX2", r.boxX2, kAnyInt);
  v("boxY1", r.boxY1, kAnyInt);
  v("boxY2", r.boxY2, kAnyInt);
  v("markLength", r.markLength, Limits{Rule::Int, kMinMarkLength, kMaxMarkLength});
  v("markThickness", r.markThickness, Limits{Rule::Float, kMinMarkThickness, kMaxMarkThickness});
  v("alignWithFileBox", r.alignWithFileBox, kFlag);
  v("landscape", r.landscape, kFlag);
  v("renameToScoreName", r.renameToScoreName, kFlag);
}
template <class V> void fields(ReportOptions& r, V&& v) {
  v("listMacros", r.listMacros, kFlag);
  v("macroDate", r.macroDate, kFlag);
  v("macroDescription", r.macroDescription, kFlag);
  v("macroSteps", r.macroSteps, kFlag);
  v("listSteps", r.listSteps, kFlag);
  v("stepDate", r.stepDate, kFlag);
  v("stepDescription", r.stepDescription, kFlag);
  v("stepCodeNumbers", r.stepCodeNumbers, kFlag);
  v("stepArgument", r.stepArgument, kFlag);
  v("stepOperation", r.stepOperation, kFlag);
  v("listBeamAngles", r.listBeamAngles, kFlag);
  v("beamAngleDate", r.beamAngleDate, kFlag);
  v("listOptions", r.listOptions, kFlag);
  v("optionsDate", r.optionsDate, kFlag);
  v("listMacrosPerStep", r.listMacrosPerStep, kFlag);
}
template <class V> void fields(ItemCountOptions& r, V&& v) { v("skipBlankStaves", r.skipBlankStaves, kFlag); }


std::string shortest(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string text(const int32_t& value) { return std::to_string(value); }
std::string text(const float& value) { return shortest(value); }
std::string text(const std::string& value) { return value; }

std::string rangeText(const Limits& limits) {
  switch (limits.rule) {
  case Rule::Flag: return "0 or 1";
  case Rule::Int:
    if (limits.low == INT_MIN) return "an integer";
    return strprintf("an integer from %.0f to %.0f", limits.low, limits.high);
  case Rule::Float:
    if (limits.low <= -1e9) return "a number";
    return strprintf("a number from %.1f to %.1f", limits.low, limits.high);
  case Rule::Extension:
  case Rule::ExtensionAsTyped: return "at most 3 characters";
  case Rule::ExtensionAnyLength: return "any text";
  case Rule::Subfolder: return "empty or one folder name below the settings folder";
  }
  return {};
}

bool parse(std::string_view value, const Limits& limits, int32_t& out) {
  long long parsed = 0;
  const auto result = std::from_chars(value.data(), value.data() + value.size(), parsed);
  if (value.empty() || result.ec != std::errc() || result.ptr != value.data() + value.size()) return false;
  if (parsed < static_cast<long long>(limits.low) || parsed > static_cast<long long>(limits.high)) return false;
  out = static_cast<int32_t>(parsed);
  return true;
}

bool parse(std::string_view value, const Limits& limits, float& out) {
  float parsed = 0.0f;
  const auto result = std::from_chars(value.data(), value.data() + value.size(), parsed);
  if (value.empty() || result.ec != std::errc() || result.ptr != value.data() + value.size()) return false;
  if (!std::isfinite(parsed) || parsed < static_cast<float>(limits.low) || parsed > static_cast<float>(limits.high))
    return false;
  out = parsed;
  return true;
}

bool parse(std::string_view value, const Limits& limits, std::string& out) {
  std::string typed(value);
  switch (limits.rule) {
  case Rule::Extension:
    if (typed.size() > 3) return false;
    out = toUpperAscii(typed);
    return true;
  case Rule::ExtensionAsTyped:
    if (typed.size() > 3) return false;
    out = typed;
    return true;
  case Rule::ExtensionAnyLength: out = toUpperAscii(typed); return true;
  case Rule::Subfolder: {
    if (!typed.empty() && typed.back() != kPathSeparator) typed += kPathSeparator;
    const size_t separator = typed.find(kPathSeparator);
    if (!typed.empty() && (separator + 1 != typed.size() || typed == "/" || typed == "./" || typed == "../"))
      return false;
    if (typed.size() > 256) return false;
    out = typed;
    return true;
  }
  default: return false;
  }
}

} // namespace

std::optional<SettingsFile> settingsFileNamed(std::string_view name) {
  for (int i = 0; i <= static_cast<int>(SettingsFile::ItemCount); ++i) {
    const auto file = static_cast<SettingsFile>(i);
    if (equalsIgnoreCaseAscii(name, settingsFileName(file))) return file;
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> settingsFieldValues(CSettings& settings, SettingsFile file) {
  std::vector<std::pair<std::string, std::string>> out;
  withRecord(settings, file, [&](auto& record) {
    fields(record, [&](const char* name, auto& field, const Limits&) { out.emplace_back(name, text(field)); });
  });
  return out;
}

bool setSettingsField(CSettings& settings, SettingsFile file, std::string_view name, std::string_view value,
                      std::string& message) {
  bool found = false;
  bool ok = false;
  std::vector<std::string> names;
  withRecord(settings, file, [&](auto& record) {
    fields(record, [&](const char* field, auto& member, const Limits& limits) {
      names.emplace_back(field);
      if (name != field) return;
      found = true;
      auto parsed = member;
      ok = parse(value, limits, parsed);
      if (ok) {
        member = parsed;
        return;
      }
      message = strprintf("%s: %s must be %s, not \"%s\".", settingsFileName(file), field, rangeText(limits).c_str(),
                          std::string(value).c_str());
    });
  });
  if (!found) {
    std::string list;
    for (const std::string& n : names)
      list += (list.empty() ? "" : ", ") + n;
    message = strprintf("%s has no field %s; its fields are %s.", settingsFileName(file), std::string(name).c_str(),
                        list.c_str());
  }
  // The project folder follows the stored subfolder, or saving would write the old one back.
  if (found && ok && file == SettingsFile::Prefs)
    settings.setProjectFolder(settings.settingsFolder() + settings.prefs().projectSubfolder);
  return found && ok;
}

} // namespace velmora
