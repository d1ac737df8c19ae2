#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace velmora::gui {

// The name entry for new, duplicated and renamed macros and steps.
class CNewMacroDlg : public QDialog {
  Q_OBJECT
public:
  // With `limitNameLength` the field takes at most 8 characters.
  CNewMacroDlg(QWidget* parent, const QString& caption, bool limitNameLength);
  // True for OK, with the name as typed.
  bool askName(std::string& typed);

private:
  QLineEdit* name_;
};

} // namespace velmora::gui
