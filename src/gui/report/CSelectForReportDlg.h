#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "edit/FileSelection.h"

class QListWidget;

namespace velmora::gui {

// "Select for Report": the names of the project-folder files matching the
// mask, sorted, all selected at start. The report and "Append Macro..." use it.
class CSelectForReportDlg : public QDialog {
  Q_OBJECT
public:
  explicit CSelectForReportDlg(const FileSelectionRequest& request, QWidget* parent = nullptr);
  // True for OK, with the selected names in list order; false for Cancel.
  bool choose(std::vector<std::string>& chosen);
  std::vector<std::string> selectedNames() const;

private:
  QListWidget* list_;
};

} // namespace velmora::gui
