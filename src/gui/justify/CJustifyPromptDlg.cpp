#include "gui/justify/CJustifyPromptDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {

namespace {

QString fromAnsi(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

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

  auto* row = new QHBoxLayout;
  const auto add = [&](const char* label, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(label), this);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
  };
  QPushButton* yes = add("Yes", "yes");
  QPushButton* yesToAll = add("Yes To All", "yesToAll");
  QPushButton* no = add("No", "no");
  QPushButton* cancel = add("Cancel", "cancel");
  QPushButton* open = add("Open Score file", "openScoreFile");
  yes->setDefault(true);
  layout->addLayout(row);
  connect(yes, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::Yes); });
  connect(yesToAll, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::YesToAll); });
  connect(no, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::No); });
  connect(cancel, &QPushButton::clicked, this, [this] { answerWith(PromptAnswer::Cancel); });
  // Opens the score beside the prompt, which stays up.
  connect(open, &QPushButton::clicked, this, [this] { host_.openInViewer(filePath_); });
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
