#include "app/Report.h"

#include <clocale>
#include <locale.h>
#include <sys/stat.h>

#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "base/Messages.h"
#include "batch/TaskStrings.h"
#include "beams/BeamLibrary.h"
#include "edit/MacroFiles.h"
#include "edit/Messages.h"
#include "settings/Messages.h"

namespace velmora {

namespace {

// The report's numbers keep their '.' whatever locale the front end set.
class CLocaleScope {
public:
  CLocaleScope() : c_(::newlocale(LC_ALL_MASK, "C", nullptr)), previous_(c_ ? ::uselocale(c_) : nullptr) {}
  ~CLocaleScope() {
    if (!c_) return;
    ::uselocale(previous_);
    ::freelocale(c_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
  locale_t c_;
  locale_t previous_;
};

constexpr const char* kBeamHeadings[kBeamLibraryCount] = {
    "UPSTEM 8TH NOTE BEAM ANGLES",    "DOWNSTEM 8TH NOTE BEAM ANGLES",  "UPSTEM 16TH NOTE BEAM ANGLES",
    "DOWNSTEM 16TH NOTE BEAM ANGLES", "UPSTEM 32ND NOTE BEAM ANGLES",   "DOWNSTEM 32ND NOTE BEAM ANGLES",
    "UPSTEM GRACE NOTE BEAM ANGLES",  "DOWNSTEM GRACE NOTE BEAM ANGLES"};
// The dated up-stem grace heading has always lacked "NOTE".
constexpr const char* kDatedUpGraceHeading = "UPSTEM GRACE BEAM ANGLES";

bool present(const std::string& path) { return fileExists(path) && !isDirectory(path); }

const char* flagText(int32_t flag) { return flag ? "TRUE" : "FALSE"; }

std::string joined(const std::vector<std::string>& names, const char* separator) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i)
    out += (i ? separator : "") + names[i];
  return out;
}

std::string upToLastDot(const std::string& file) { return file.substr(0, file.find_last_of('.')); }

enum class Flow { GoOn, Cancel, Fail };

// The text of one report, section by section.
class ReportBuilder {
public:
  ReportBuilder(CSettings& settings, IHost& host, IReportDialogs& dialogs)
      : settings_(settings), host_(host), dialogs_(dialogs), options_(settings.report()),
        folder_(settings.projectFolder()), files_(folder_, host) {}

  std::string text;

  void heading();
  Flow macros();
  Flow steps();
  Flow macrosPerStep();
  void beamAngles();
  void options();

private:
  bool select(const char* label, const char* mask, std::vector<std::string>& names);
  // The entry's first line; false (after its not-found line) when the file is gone.
  bool nameLine(EditFileKind kind, const std::string& name, bool dated, std::string& path);
  // "%s\tDate: %s\n" when dated and the file has a date, else "%s\n".
  void datedLine(const std::string& what, const std::string& path, bool dated);
  Flow fail(const std::string& message) {
    host_.showMessage(message);
    return Flow::Fail;
  }
  void optionsBlock(SettingsFile file, const char* title);

  CSettings& settings_;
  IHost& host_;
  IReportDialogs& dialogs_;
  const ReportOptions options_;
  const std::string folder_;
  const CEditFiles files_;
};

void ReportBuilder::heading() {
  text += "VELMORA VERSION 3 REPORT\n\n";
  text += "Library Path: " + settings_.settingsFolder() + "\n";
  text += "PROJECT DIRECTORY: " + folder_ + "\n\n";
}

bool ReportBuilder::select(const char* label, const char* mask, std::vector<std::string>& names) {
  const FileSelectionRequest request{report_msg::kSelectTitle, label, mask, folder_};
  names.clear();
  return dialogs_.selectForReport(request, names);
}

void ReportBuilder::datedLine(const std::string& what, const std::string& path, bool dated) {
  const std::string date = dated ? reportDateText(path) : std::string();
  text += date.empty() ? what + "\n" : what + "\tDate: " + date + "\n";
}

bool ReportBuilder::nameLine(EditFileKind kind, const std::string& name, bool dated, std::string& path) {
  path = files_.pathOf(kind, name);
  if (!present(path)) {
    text += (kind == EditFileKind::Macro ? "Macro " : "Step ") + path + " note found\n";
    return false;
  }
  datedLine(fileNameOf(path), path, dated);
  return true;
}

Flow ReportBuilder::macros() {
  std::vector<std::string> names;
  if (!select(report_msg::kMacrosLabel, edit_msg::kMacroMask, names)) return Flow::Cancel;
  text += "MACROS\n\n";
  for (const std::string& name : names) {
    std::string path;
    if (!nameLine(EditFileKind::Macro, name, options_.macroDate != 0, path)) continue;
    if (!options_.macroDescription && !options_.macroSteps) continue;
    MacroData macro;
    std::string message;
    if (readMacroFile(path, macro, message) != FileRead::Ok) return fail(message);
    text += reportMacroBody(macro, options_);
  }
  text += strprintf("\nTotal macros found = %d\n\n", static_cast<int>(names.size()));
  return Flow::GoOn;
}

Flow ReportBuilder::steps() {
  std::vector<std::string> names;
  if (!select(report_msg::kStepsLabel, edit_msg::kStepMask, names)) return Flow::Cancel;
  text += "STEPS\n\n";
  const ReportOptions& o = options_;
  for (const std::string& name : names) {
    std::string path;
    if (!nameLine(EditFileKind::Step, name, o.stepDate != 0, path)) continue;
    if (!o.stepDescription && !o.stepCodeNumbers && !o.stepArgument && !o.stepOperation) continue;
    StepData step;
    std::string message;
    bool flagRead = false;
    if (readStepFile(path, step, message, &flagRead) != FileRead::Ok) return fail(message);
    text += reportStepBody(step, flagRead, o);
  }
  text += strprintf("\nTotal steps found = %d\n\n", static_cast<int>(names.size()));
  return Flow::GoOn;
}

Flow ReportBuilder::macrosPerStep() {
  text += "MACROS USED BY EACH STEP (blank indicates redundant step)\n\n";
  text += "\tStep\tMacros\n\n";
  const std::vector<std::string> stepFiles = filesEndingWith(folder_, ".STP");
  // Every macro is read once, not once per step.
  std::vector<std::pair<std::string, MacroData>> macros;
  if (!stepFiles.empty()) {
    for (const std::string& file : filesEndingWith(folder_, ".MAC")) {
      MacroData macro;
      std::string message;
      const FileRead read = readMacroFile(folder_ + file, macro, message);
      // One removed since the listing uses no step.
      if (read == FileRead::CannotOpen && !present(folder_ + file)) continue;
      if (read != FileRead::Ok) return fail(message);
      macros.emplace_back(upToLastDot(file), std::move(macro));
    }
  }
  for (const std::string& file : stepFiles) {
    const std::string step = upToLastDot(file);
    text += "\t" + step + " - ";
    for (const auto& [macroName, macro] : macros) {
      for (const std::string& used : macro.steps) {
        if (used != step) continue;
        text += macroName + ", ";
        break;
      }
    }
    text += "\n";
  }
  text += "\n";
  return Flow::GoOn;
}

void ReportBuilder::beamAngles() {
  for (int index = 0; index < kBeamLibraryCount; ++index) {
    const std::string path = beamLibraryPath(folder_, index);
    if (!present(path)) {
      text += std::string(beamLibraryInfo(index).fileName) + " not found\n";
      continue;
    }
    const std::string date = options_.beamAngleDate ? reportDateText(path) : std::string();
    if (date.empty())
      text += std::string(kBeamHeadings[index]) + "\n";
    else
      text += std::string(index == kUpGrace ? kDatedUpGraceHeading : kBeamHeadings[index]) + "\tDate: " + date + "\n";
    std::vector<std::string> records;
    std::string why;
    const LibraryRead read = readLibraryRecords(path, records, why);
    if (read == LibraryRead::CannotOpen) {
      text += "File does not exist!\n";
      continue;
    }
    text += "\tLeft note pos\tMid note pos\tRight note pos\tLeft beam endp\t Right beam endp\n\n";
    for (const std::string& record : records)
      text += record + "\n";
    text += "\n";
    // A damaged library's table ends at the damage.
    if (read == LibraryRead::Damaged)
      host_.showMessage(strprintf(report_msg::kLibraryDamaged, path.c_str(), why.c_str()));
  }
}

void ReportBuilder::optionsBlock(SettingsFile file, const char* title) {
  std::string path;
  std::string shown;
  if (file == SettingsFile::ItemCount) {
    // The report names this file in lower case and shows the common text for
    // it; the file on disk is found whatever the case of its name.
    shown = settings_.settingsFolder() + "scorcnt2.dat";
    path = settings_.settingsPath("scorcnt2.dat");
    const LoadResult read = loadRecordFile(path, settings_.itemCount());
    if (read != LoadResult::Loaded)
      host_.showMessage(
          strprintf(read == LoadResult::Damaged ? settings_msg::kDamaged : base_msg::kUnableToOpen, shown.c_str()));
  } else {
    path = settings_.pathOf(file);
    shown = path;
    settings_.reload(file, host_);
  }
  text += std::string(title) + "\n\n";
  datedLine(shown, path, options_.optionsDate != 0);
}

void ReportBuilder::options() {
  text += "OPTIONS\n\n";

  optionsBlock(SettingsFile::Optimize, "OPTIMIZE OPTIONS");
  const OptimizeOptions& opt = settings_.optimize();
  text += strprintf("Delete single stave braces (p5 = 8) = %s\n", flagText(opt.deleteBraces));
  text += strprintf("Delete single stave brackets (p5 = 9) = %s\n", flagText(opt.deleteBrackets));
  text += strprintf("Delete single stave straight brackets (p5 = 10) = %s\n", flagText(opt.deleteStraightBrackets));
  text += strprintf("Show stave delete window on transcription = %s\n", flagText(opt.showStaveDeleteWindow));
  text += "Extension to use for optimized files = " + opt.extension + "\n\n";

  optionsBlock(SettingsFile::Unoptimize, "UNOPTIMIZE OPTIONS");
  const UnoptimizeOptions& uno = settings_.unoptimize();
  text += strprintf("Insert single stave braces (p5 = 8) = %s\n", flagText(uno.insertBraces));
  text += strprintf("Insert single stave brackets (p5 = 9) = %s\n", flagText(uno.insertBrackets));
  text += strprintf("Insert single stave straight brackets (p5 = 10) = %s\n", flagText(uno.insertStraightBrackets));
  text += strprintf("Show stave insert window on transcription = %s\n", flagText(uno.showStaveInsertWindow));
  text += "Extension to use for unoptimized files = " + uno.extension + "\n\n";

  optionsBlock(SettingsFile::Edit, "EDIT OPTIONS");
  const EditOptions& edi = settings_.edit();
  text += strprintf("Remember last macro used = %s\n", flagText(edi.rememberLastMacro));
  text += strprintf("Prompt for each item before Operation is made = %s\n", flagText(edi.promptBeforeOperation));
  text += strprintf("Allow dragging in Selected Steps List Box = %s\n", flagText(edi.allowDragging));
  text += strprintf("Recognize Winscore extended parameters 20 to 30 = %s\n", flagText(edi.extendedParameters));
  text += strprintf("Limit macro/step name length to 8 characters (for compatibility with DOS Score) = %s\n",
                    flagText(edi.limitNameLength));
  text += "Extension to use for edited files = " + edi.extension + "\n\n";

  optionsBlock(SettingsFile::Justify, "JUSTIFY OPTIONS");
  const JustifyOptions& j = settings_.justify();
  text += strprintf("Prompt for each item before Operation is made = %s\n", flagText(j.promptBeforeOperation));
  text += strprintf("Recognize Winscore stretched notes = %s\n", flagText(j.recognizeStretchedNotes));
  text += strprintf("Minimum space for note justification = %f\n", j.minimumSpace);
  text += strprintf("Extra space before first note/rest = %f\n", j.extraSpaceFirstNote);
  text += strprintf("Extra space for opening tie = %f\n", j.extraSpaceOpeningTie);
  text += strprintf("Barline type to use for stave group = %d\n", j.barlineType);
  text += "Extension to use for justified files = " + j.extension + "\n";
  text += "Widths (in Score units at stave size 1.0)\n";
  text += strprintf("Notehead widths - Quarter/half = %f, Whole = %f, Double whole = %f\n", j.noteheadQuarterHalf,
                    j.noteheadWhole, j.noteheadDoubleWhole);
  text += strprintf("Accidental widths - Flat = %f, Sharp = %f, Natural = %f, Double flat = %f, Double sharp = %f\n",
                    j.accidentalFlat, j.accidentalSharp, j.accidentalNatural, j.accidentalDoubleFlat,
                    j.accidentalDoubleSharp);
  text += strprintf("1/4 Flat = %f, 3/4 Flat = %f, 1/4 Sharp = %f, 3/4 Sharp = %f, \n", j.quarterFlat,
                    j.threeQuarterFlat, j.quarterSharp, j.threeQuarterSharp);
  text += strprintf("Ledger line widths (one side only) - Quarter/half = %f, Whole = %f, Double whole = %f\n",
                    j.ledgerQuarterHalf, j.ledgerWhole, j.ledgerDoubleWhole);
  text += strprintf("Other widths - Rhythm dot = %f, Note flag = %f, Note parenthesis = %f, Accidental parenthesis = "
                    "%f\n\n",
                    j.rhythmDot, j.noteFlag, j.noteParenthesis, j.accidentalParenthesis);

  optionsBlock(SettingsFile::Beam, "BEAM OPTIONS");
  const BeamOptions& b = settings_.beam();
  text += strprintf("Replace angles in library with those in files = %s\n", flagText(b.replaceLibraryAngles));
  text += strprintf("Allow Beam Angle Does Not Exist dialog = %s\n", flagText(b.allowNoAngleDialog));
  text += strprintf("Treat value in p18 as grace beams = %s\n", flagText(b.p18GraceBeams));
  text += strprintf("Dont process 64th notes = %s\n", flagText(b.skip64ths));
  text += "Extension to use for edited files = " + b.extension + "\n";
  if (b.horizontalRule == 0) text += "Rules: Set beams horizontal as specified in Beam Angles dialog.\n\n";
  if (b.horizontalRule == 1) text += "Rules: Set beams horizontal always.\n\n";
  if (b.horizontalRule == 2) {
    text += "Rules: Set beams horizontal only if \n";
    if (b.horizontalIfDirectionChanges) text += "\tnote direction changes within beam group.\n\n";
    if (b.horizontalIfPitchRepeated) text += "\tnotes of the same pitch are repeated within beam group.\n\n";
  }

  optionsBlock(SettingsFile::Crops, "CROP MARK OPTIONS");
  const CropOptions& c = settings_.crops();
  text += strprintf("Bounding Box = %d %d %d %d\n", c.boxX1, c.boxY1, c.boxX2, c.boxY2);
  text += strprintf("Align with Bounding box in file = %s\n", flagText(c.alignWithFileBox));
  text += strprintf("Translate Origin = %d %d\n", c.originX, c.originY);
  text += strprintf("Crop mark line length = %d\n", c.markLength);
  text += strprintf("Crop mark line thickness = %.2f\n", c.markThickness);
  text += strprintf("Rename file to Score filename+EPS = %s\n\n", flagText(c.renameToScoreName));

  optionsBlock(SettingsFile::ItemCount, "ITEM COUNT OPTIONS");
  text +=
      strprintf("Don't include blank staves in stave count = %s\n", flagText(settings_.itemCount().skipBlankStaves));
}

} // namespace

std::string reportMacroBody(const MacroData& macro, const ReportOptions& o) {
  std::string text = o.macroDescription ? "\tDescription: " + macro.description + "\n" : "\n";
  text += o.macroSteps ? "\tSteps: " + joined(macro.steps, " | ") + "\n\n" : "\n";
  return text;
}

std::string reportStepBody(const StepData& step, bool flagRead, const ReportOptions& o) {
  std::string text = o.stepDescription ? "\tDescription: " + step.description + "\n\n" : "\n";
  if (o.stepCodeNumbers) text += "\tCode no(s): " + step.codeNumbers + "\n";
  if (o.stepArgument) {
    text += "\tConditional argument: IF (" + step.argument + ")\n";
    if (flagRead && step.notFoundFlag()) text += "\tIf no item of this kind found: TRUE\n";
  }
  text += o.stepOperation ? "\tOperation: " + step.operation + "\n\n" : "\n";
  return text;
}

bool reportEntry(EditFileKind kind, const std::string& path, const ReportOptions& o, std::string& text,
                 std::string& message) {
  const bool macro = kind == EditFileKind::Macro;
  const bool dated = (macro ? o.macroDate : o.stepDate) != 0;
  const std::string date = dated ? reportDateText(path) : std::string();
  text = date.empty() ? fileNameOf(path) + "\n" : fileNameOf(path) + "\tDate: " + date + "\n";
  if (macro) {
    if (!o.macroDescription && !o.macroSteps) return true;
    MacroData data;
    if (readMacroFile(path, data, message) != FileRead::Ok) return false;
    text += reportMacroBody(data, o);
    return true;
  }
  if (!o.stepDescription && !o.stepCodeNumbers && !o.stepArgument && !o.stepOperation) return true;
  StepData data;
  bool flagRead = false;
  if (readStepFile(path, data, message, &flagRead) != FileRead::Ok) return false;
  text += reportStepBody(data, flagRead, o);
  return true;
}

std::string reportTimeText(std::time_t time) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  if (!::localtime_r(&time, &tm) || tm.tm_wday < 0 || tm.tm_wday > 6 || tm.tm_mon < 0 || tm.tm_mon > 11) return {};
  // ctime's form: the day of the month is padded with a blank.
  return strprintf("%s %s %2d %02d:%02d:%02d %04d\n", kDays[tm.tm_wday], kMonths[tm.tm_mon], tm.tm_mday, tm.tm_hour,
                   tm.tm_min, tm.tm_sec, tm.tm_year + 1900);
}

std::string reportDateText(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return reportTimeText(st.st_mtime);
}

ReportResult writeReport(CSettings& settings, COutputLog& log, IHost& host, IReportDialogs& dialogs) {
  const CLocaleScope cLocale;
  const std::string path = resolveCaseInsensitive(settings.projectFolder(), report_msg::kFileName);
  AtomicFile file;
  if (!file.open(path)) {
    host.showMessage(writeFailureMessage(path, file));
    return ReportResult::Failed;
  }
  log.clear();
  log.appendAndFollow(report_msg::kCreating);

  ReportBuilder report(settings, host, dialogs);
  const ReportOptions& o = settings.report();
  report.heading();
  Flow flow = Flow::GoOn;
  if (o.listMacros) flow = report.macros();
  if (flow == Flow::GoOn && o.listSteps) flow = report.steps();
  if (flow == Flow::GoOn && o.listMacrosPerStep) flow = report.macrosPerStep();
  if (flow == Flow::GoOn && o.listBeamAngles) report.beamAngles();
  if (flow == Flow::GoOn && o.listOptions) report.options();

  // What was written so far is dropped with the temporary file; an old report stays.
  if (flow == Flow::GoOn && !(file.write(report.text.data(), report.text.size()) && file.commit())) {
    host.showMessage(writeFailureMessage(path, file));
    flow = Flow::Fail;
  }
  if (flow != Flow::GoOn) {
    file.discard();
    log.appendAndFollow(kOperationCancelled);
    return flow == Flow::Cancel ? ReportResult::Cancelled : ReportResult::Failed;
  }
  log.appendAndFollow(report_msg::kFinished);
  host.openInViewer(path);
  return ReportResult::Written;
}

} // namespace velmora
