#include "gui/report/CReportDialogs.h"

#include "gui/report/CCreateReportDlg.h"
#include "gui/report/CSelectForReportDlg.h"

namespace velmora::gui {

bool CReportDialogs::createReport(ReportOptions& options) {
  CCreateReportDlg dialog(options, parent_);
  return dialog.run(options);
}

bool CReportDialogs::selectForReport(const FileSelectionRequest& request, std::vector<std::string>& chosen) {
  CSelectForReportDlg dialog(request, parent_);
  return dialog.choose(chosen);
}

} // namespace velmora::gui
