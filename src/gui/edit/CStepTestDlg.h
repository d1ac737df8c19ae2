#pragma once

#include <QDialog>

#include <string>

#include "edit/StepTest.h"

namespace velmora::gui {

// What a step did when tried on one file: its counts and the first changed items.
class CStepTestDlg : public QDialog {
  Q_OBJECT
public:
  CStepTestDlg(const StepTestResult& result, const std::string& path, QWidget* parent = nullptr);

  static constexpr size_t kItemLimit = 200;
};

} // namespace velmora::gui
