#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace velmora::gui {

// A question with "Yes" and "No"; "No" is the default, and Escape answers it.
class CYesNoDlg : public QDialog {
  Q_OBJECT
public:
  CYesNoDlg(const QString& title, const std::string& question, QWidget* parent);
  // True for "Yes".
  bool ask();
  QString question() const;

private:
  QLabel* question_;
};

} // namespace velmora::gui
