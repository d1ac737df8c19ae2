#pragma once

#include "app/Report.h"

class QWidget;

namespace velmora::gui {

// The report's dialogs as windows, for CCommandHandlers::onCreateReport.
class CReportDialogs : public IReportDialogs {
public:
  explicit CReportDialogs(QWidget* parent) : parent_(parent) {}

  bool createReport(ReportOptions& options) override;
  bool selectForReport(const FileSelectionRequest& request, std::vector<std::string>& chosen) override;

private:
  QWidget* parent_;
};

} // namespace velmora::gui
