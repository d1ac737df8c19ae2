#pragma once

#include <QDialog>
#include <string>
#include <string_view>

#include "base/Host.h"
#include "edit/StepEditing.h"

class QLineEdit;

namespace velmora::gui {

// The two-field form that the font and the text replacement share.
class CSearchReplaceDlg : public QDialog {
  Q_OBJECT
public:
  // True for OK, with both fields as typed.
  bool ask(std::string& search, std::string& replacement);
  // OK: checks both fields; a fault is shown and its field gets the focus.
  void accept() override;

protected:
  CSearchReplaceDlg(IHost& host, QWidget* parent, const char* title, const QString& searchLabel,
                    const QString& replacementLabel, size_t maxLength);
  virtual ReplaceCheck check(std::string_view search, std::string_view replacement) const = 0;

private:
  IHost& host_;
  QLineEdit* search_;
  QLineEdit* replacement_;
};

} // namespace velmora::gui
