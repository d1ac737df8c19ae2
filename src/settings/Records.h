#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

// Written into every settings file; older stamps decide which trailing fields a file has.
inline constexpr int32_t kSettingsVersion = 379;

enum class SettingsFile { Prefs, Optimize, Unoptimize, Edit, Justify, Beam, Run, Crops, Report, ItemCount };

// "prefs.dat", "opt.dat", ..., "SCORCNT2.DAT": the name a file is created under.
const char* settingsFileName(SettingsFile file);

struct GeneralPrefs {
  std::string projectSubfolder; // below the settings folder, "" or "NAME/"
  int32_t useExplorerDialog = 0;

  bool operator==(const GeneralPrefs&) const = default;
};

struct OptimizeOptions {
  int32_t deleteBraces = 1;
  int32_t deleteBrackets = 0;
  int32_t deleteStraightBrackets = 1;
  int32_t showStaveDeleteWindow = 0;
  std::string extension = "OPT";
  int32_t showInstrumentDeleteWindow = 0;

  bool operator==(const OptimizeOptions&) const = default;
};

struct UnoptimizeOptions {
  int32_t insertBraces = 0;
  int32_t insertBrackets = 1;
  int32_t insertStraightBrackets = 0;
  int32_t showStaveInsertWindow = 0;
  std::string extension = "UNO";

  bool operator==(const UnoptimizeOptions&) const = default;
};

struct EditOptions {
  std::string extension = "EDI";
  int32_t rememberLastMacro = 1;
  int32_t promptBeforeOperation = 0;
  int32_t allowDragging = 0;
  int32_t extendedParameters = 0;
  int32_t limitNameLength = 0;
  int32_t fourPointPrecision = 0;
  int32_t saveOnlyIfModified = 0;

  bool operator==(const EditOptions&) const = default;
};

// Members in file order; widths in SCORE units at stave size 1.0.
struct JustifyOptions {
  std::string extension = "JST";
  int32_t promptBeforeOperation = 0;
  int32_t recognizeStretchedNotes = 0;
  float minimumSpace = 0.5f;
  float noteheadQuarterHalf = 3.0f;
  float noteheadWhole = 3.4f;
  float noteheadDoubleWhole = 3.6f;
  float accidentalFlat = 2.7f;
  float accidentalSharp = 3.2f;
  float accidentalNatural = 2.6f;
  float accidentalDoubleFlat = 4.7f;
  float accidentalDoubleSharp = 3.2f;
  float quarterFlat = 2.7f;
  float threeQuarterFlat = 4.1f;
  float quarterSharp = 3.1f;
  float threeQuarterSharp = 3.6f;
  float ledgerQuarterHalf = 0.85f;
  float ledgerWhole = 0.8f;
  float ledgerDoubleWhole = 0.9f;
  float rhythmDot = 2.05f;
  float noteParenthesis = 2.3f;
  float accidentalParenthesis = 2.1f;
  float extraSpaceFirstNote = 0.0f;
  float extraSpaceOpeningTie = 0.0f;
  int32_t barlineType = 0;
  float noteFlag = 2.1f;

  bool operator==(const JustifyOptions&) const = default;
};

inline constexpr size_t kJustifyWidthCount = 19;

// The "Reset" values of the Widths dialog, in dialog order (noteFlag after rhythmDot).
std::array<float, kJustifyWidthCount> justifyResetWidths();
// The 19 width fields of a record, in the same dialog order.
std::array<float*, kJustifyWidthCount> justifyWidths(JustifyOptions& options);
void resetJustifyWidths(JustifyOptions& options);

struct BeamOptions {
  std::string extension = "BIM";
  int32_t allowNoAngleDialog = 0;
  int32_t p18GraceBeams = 0;
  int32_t skip64ths = 0;
  int32_t replaceLibraryAngles = 0;
  int32_t horizontalRule = 0; // 0 as in the library, 1 always, 2 under the two conditions below
  int32_t horizontalIfDirectionChanges = 0;
  int32_t horizontalIfPitchRepeated = 0;

  bool operator==(const BeamOptions&) const = default;
};

struct RunOptions {
  int32_t runStaveTask = 0;
  int32_t staveTaskIsUnoptimize = 0;
  int32_t runBeamAngles = 0;
  int32_t runEdit = 0;
  std::string extension = "RUN"; // kept as typed
  int32_t runJustify = 0;

  bool operator==(const RunOptions&) const = default;
};

// PostScript points; the box is stored x1, x2, y1, y2.
struct CropOptions {
  int32_t paperSize = 0; // A4, B4, A3, Letter, Legal, Ledger
  int32_t originX = 0;
  int32_t originY = 0;
  int32_t boxX1 = 0;
  int32_t boxX2 = 595;
  int32_t boxY1 = 0;
  int32_t boxY2 = 841;
  int32_t markLength = 22;
  float markThickness = 0.5f;
  int32_t alignWithFileBox = 1;
  int32_t landscape = 0;
  int32_t renameToScoreName = 1;

  bool operator==(const CropOptions&) const = default;
};

struct ReportOptions {
  int32_t listMacros = 1;
  int32_t macroDate = 1;
  int32_t macroDescription = 1;
  int32_t macroSteps = 1;
  int32_t listSteps = 1;
  int32_t stepDate = 1;
  int32_t stepDescription = 1;
  int32_t stepCodeNumbers = 1;
  int32_t stepArgument = 1;
  int32_t stepOperation = 1;
  int32_t listBeamAngles = 1;
  int32_t beamAngleDate = 1;
  int32_t listOptions = 1;
  int32_t optionsDate = 1;
  int32_t listMacrosPerStep = 1;

  bool operator==(const ReportOptions&) const = default;
};

struct ItemCountOptions {
  int32_t skipBlankStaves = 0;

  bool operator==(const ItemCountOptions&) const = default;
};

// Which file holds a record.
template <class R> struct RecordFile;
template <> struct RecordFile<GeneralPrefs> { static constexpr SettingsFile value = SettingsFile::Prefs; };
template <> struct RecordFile<OptimizeOptions> { static constexpr SettingsFile value = SettingsFile::Optimize; };
template <> struct RecordFile<UnoptimizeOptions> { static constexpr SettingsFile value = SettingsFile::Unoptimize; };
template <> struct RecordFile<EditOptions> { static constexpr SettingsFile value = SettingsFile::Edit; };
template <> struct RecordFile<JustifyOptions> { static constexpr SettingsFile value = SettingsFile::Justify; };
template <> struct RecordFile<BeamOptions> { static constexpr SettingsFile value = SettingsFile::Beam; };
template <> struct RecordFile<RunOptions> { static constexpr SettingsFile value = SettingsFile::Run; };
template <> struct RecordFile<CropOptions> { static constexpr SettingsFile value = SettingsFile::Crops; };
template <> struct RecordFile<ReportOptions> { static constexpr SettingsFile value = SettingsFile::Report; };
template <> struct RecordFile<ItemCountOptions> { static constexpr SettingsFile value = SettingsFile::ItemCount; };

} // namespace velmora
