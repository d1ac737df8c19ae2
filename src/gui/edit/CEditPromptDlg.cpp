#include "gui/edit/CEditPromptDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/GuiText.h"

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

  auto* row = new QHBoxLayout;
  const auto add = [&](const char* label, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(label), this);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
  };
  QPushButton* yes = add("&Yes", "yes");
  QPushButton* yesToAll = add("Yes To &All", "yesToAll");
  QPushButton* no = add("&No", "no");
  QPushButton* cancel = add("&Cancel", "cancel");
  QPushButton* open = add("&Open Score file", "openScoreFile");
  yes->setDefault(true);
  layout->addLayout(row);
  connect(yes, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::Yes); });
  connect(yesToAll, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::YesToAll); });
  connect(no, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::No); });
  connect(cancel, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::Cancel); });
  // The prompt stays up while the score is open beside it.
  connect(open, &QPushButton::clicked, this, [this] { host_.openInViewer(inputPath_); });
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
