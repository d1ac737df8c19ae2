#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace velmora::gui {

// "Syntax": the settings folder's SYNTAX.TXT, read-only; empty when there is none.
class CSyntaxDlg : public QDialog {
  Q_OBJECT
public:
  explicit CSyntaxDlg(const std::string& settingsFolder, QWidget* parent = nullptr);
  // The text as read, every line ended by CR LF.
  const std::string& text() const { return text_; }

private:
  std::string text_;
  QPlainTextEdit* view_;
};

} // namespace velmora::gui
