#include "gui/justify/CJustifyPromptDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/PromptButtons.h"

namespace velmora::gui {

CJustifyPromptDlg::CJustifyPromptDlg(IHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("text"));
  parameters_ = new QLabel(this);
  parameters_->setObjectName(QStringLiteral("parameters"));
  parameters_->setWordWrap(true);
  parameters_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  question_ = new QLabel(this);
  question_->setObjectName(QStringLiteral("question"));
  layout->addWidget(text_);
  layout->addWidget(new QLabel(QStringLiteral("Parameters"), this));
  layout->addWidget(parameters_);
  layout->addWidget(question_);

  // The prompt stays up while the score is open beside it.
  layout->addLayout(promptButtonRow(
      this, [this](PromptAnswer answer) { answerWith(answer); }, [this] { host_.openInViewer(filePath_); }));
}

PromptAnswer CJustifyPromptDlg::ask(const JustifyPrompt& prompt) {
  setPrompt(prompt);
  exec();
  return answer_;
}

void CJustifyPromptDlg::setPrompt(const JustifyPrompt& prompt) {
  setWindowTitle(fromAnsi(prompt.title));
  text_->setText(fromAnsi(prompt.text));
  parameters_->setText(fromAnsi(prompt.parameters));
  question_->setText(fromAnsi(prompt.question));
  filePath_ = prompt.filePath;
  answer_ = PromptAnswer::Cancel;
}

void CJustifyPromptDlg::answerWith(PromptAnswer answer) {
  answer_ = answer;
  if (answer == PromptAnswer::Cancel)
    reject();
  else
    accept();
}

} // namespace velmora::gui
