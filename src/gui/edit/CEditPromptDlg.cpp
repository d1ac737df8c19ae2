#include "gui/edit/CEditPromptDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/PromptButtons.h"

namespace velmora::gui {

CEditPromptDlg::CEditPromptDlg(IHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setWindowTitle(QStringLiteral("Prompt before Operation"));
  auto* layout = new QVBoxLayout(this);
  item_ = new QLabel(this);
  item_->setObjectName(QStringLiteral("item"));
  parameters_ = new QLabel(this);
  parameters_->setObjectName(QStringLiteral("parameters"));
  parameters_->setWordWrap(true);
  parameters_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(item_);
  layout->addWidget(new QLabel(QStringLiteral("Parameters"), this));
  layout->addWidget(parameters_);
  layout->addWidget(new QLabel(QStringLiteral("Do you wish to perform the operation?"), this));

  // The prompt stays up while the score is open beside it.
  layout->addLayout(promptButtonRow(
      this, [this](PromptAnswer answer) { answerWith(answer); }, [this] { host_.openInViewer(inputPath_); }));
}

PromptAnswer CEditPromptDlg::ask(const EditPrompt& prompt) {
  setPrompt(prompt);
  exec();
  return answer_;
}

void CEditPromptDlg::setPrompt(const EditPrompt& prompt) {
  item_->setText(fromAnsi(prompt.itemLine));
  parameters_->setText(fromAnsi(prompt.parameters));
  inputPath_ = prompt.inputPath;
  answer_ = PromptAnswer::Cancel;
}

void CEditPromptDlg::answerWith(PromptAnswer answer) {
  answer_ = answer;
  if (answer == PromptAnswer::Cancel)
    reject();
  else
    accept();
}

} // namespace velmora::gui
