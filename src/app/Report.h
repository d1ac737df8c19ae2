#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/COutputLog.h"
#include "edit/FileSelection.h"
#include "edit/MacroFiles.h"
#include "settings/Records.h"
#include "settings/Settings.h"

namespace velmora {

namespace report_msg {
inline constexpr const char* kFileName = "VELRPT.TXT";
inline constexpr const char* kCreating = "Creating report VELRPT.TXT";
inline constexpr const char* kFinished = "Finished.";
inline constexpr const char* kDialogTitle = "Create Report";
inline constexpr const char* kSelectTitle = "Select for report";
inline constexpr const char* kMacrosLabel = "Macros";
inline constexpr const char* kStepsLabel = "Steps";
inline constexpr const char* kLibraryDamaged = "%s is damaged: %s. The report lists the beam angles before that point.";
} // namespace report_msg

// The report's dialogs; the GUI, the CLI and the tests implement them.
class IReportDialogs {
public:
  virtual ~IReportDialogs() = default;
  // "Create Report": true for "OK..." with the flags in `options`.
  virtual bool createReport(ReportOptions& options) = 0;
  // "Select for Report": true for OK with the chosen names in list order, false for Cancel.
  virtual bool selectForReport(const FileSelectionRequest& request, std::vector<std::string>& chosen) = 0;
};

enum class ReportResult { Written, Cancelled, Failed };

// A time as the C library's 24-character form plus a line feed,
// "Wed Jan 02 02:03:55 1980\n", in local time and English whatever the locale.
std::string reportTimeText(std::time_t time);
// A file's last-modification time in that form; "" when it has none.
std::string reportDateText(const std::string& path);

// A macro's or a step's lines of the report, after its name line.
std::string reportMacroBody(const MacroData& macro, const ReportOptions& options);
std::string reportStepBody(const StepData& step, bool flagRead, const ReportOptions& options);
// One macro's or step's whole entry, name line first, as the report prints it;
// false with the reader's message when the file cannot be read.
bool reportEntry(EditFileKind kind, const std::string& path, const ReportOptions& options, std::string& text,
                 std::string& message);

// Writes VELRPT.TXT into the project folder as the options say, logs its
// start and end, and opens it in the viewer. A cancel or failure keeps any
// old report as it was.
ReportResult writeReport(CSettings& settings, COutputLog& log, IHost& host, IReportDialogs& dialogs);

} // namespace velmora
