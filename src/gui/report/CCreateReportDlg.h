#pragma once

#include <QDialog>
#include <array>

#include "settings/Records.h"

class QCheckBox;

namespace velmora::gui {

// "Create Report": the fifteen flags by group; a group's sub-boxes are
// enabled only while its main box is ticked.
class CCreateReportDlg : public QDialog {
  Q_OBJECT
public:
  static constexpr size_t kFlagCount = 15;

  CCreateReportDlg(const ReportOptions& options, QWidget* parent = nullptr);
  // True for "OK..."; `options` then holds the boxes.
  bool run(ReportOptions& options);
  ReportOptions options() const;

private:
  std::array<QCheckBox*, kFlagCount> boxes_{};
};

} // namespace velmora::gui
