#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;

namespace velmora::gui {

// The one-line name dialog: a prompt and a name field.
class CNameDlg : public QDialog {
  Q_OBJECT
public:
  CNameDlg(QWidget* parent, const QString& title, const std::string& prompt);
  // True for OK, with the typed name.
  bool askName(std::string& name);

private:
  QLineEdit* name_;
};

} // namespace velmora::gui
