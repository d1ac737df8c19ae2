#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;

namespace velmora::gui {

// The name entry for new, duplicated and renamed macros and steps.
class CNewMacroDlg : public QDialog {
  Q_OBJECT
public:
  // Decides on "OK" whether the typed name is taken; false keeps the dialog open.
  using Check = std::function<bool(const std::string& typed)>;

  // With `limitNameLength` at most 8 characters can be typed; a longer name
  // passed to askName is shown whole.
  CNewMacroDlg(QWidget* parent, const QString& caption, bool limitNameLength);
  void setCheck(Check check) { check_ = std::move(check); }
  // True for OK, with the name as typed; `typed` also fills the field at start.
  bool askName(std::string& typed);

private:
  void onOk();

  QLineEdit* name_;
  Check check_;
};

} // namespace velmora::gui
