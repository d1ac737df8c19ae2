#pragma once

#include <QDialog>

#include "base/Host.h"
#include "justify/Justify.h"

class QLabel;

namespace velmora::gui {

// "Prompt before Operation" as Justify shows it before a correction.
class CJustifyPromptDlg : public QDialog {
  Q_OBJECT
public:
  explicit CJustifyPromptDlg(IHost& host, QWidget* parent = nullptr);

  // Runs the dialog; closing it counts as "Cancel".
  PromptAnswer ask(const JustifyPrompt& prompt);

  void setPrompt(const JustifyPrompt& prompt);
  PromptAnswer answer() const { return answer_; }

private:
  void answerWith(PromptAnswer answer);

  IHost& host_;
  std::string filePath_;
  PromptAnswer answer_ = PromptAnswer::Cancel;
  QLabel* text_;
  QLabel* parameters_;
  QLabel* question_;
};

} // namespace velmora::gui
