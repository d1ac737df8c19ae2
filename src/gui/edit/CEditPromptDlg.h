#pragma once

#include <QDialog>

#include "base/Host.h"
#include "edit/EditRun.h"

class QLabel;

namespace velmora::gui {

// "Prompt before Operation" as the edit run shows it before each operation.
class CEditPromptDlg : public QDialog {
  Q_OBJECT
public:
  explicit CEditPromptDlg(IHost& host, QWidget* parent = nullptr);

  // Runs the dialog; closing it counts as "Cancel".
  PromptAnswer ask(const EditPrompt& prompt);

  void setPrompt(const EditPrompt& prompt);
  PromptAnswer answer() const { return answer_; }

private:
  void answerWith(PromptAnswer answer);

  IHost& host_;
  std::string inputPath_;
  PromptAnswer answer_ = PromptAnswer::Cancel;
  QLabel* item_;
  QLabel* parameters_;
};

} // namespace velmora::gui
