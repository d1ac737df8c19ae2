#include "gui/PromptButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace velmora::gui {

QHBoxLayout* promptButtonRow(QDialog* dialog, std::function<void(PromptAnswer)> answer,
                             std::function<void()> openScore) {
  auto* row = new QHBoxLayout;
  const auto add = [&](const char* label, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(label), dialog);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
  };
  const struct {
    const char* label;
    const char* name;
    PromptAnswer value;
  } answers[] = {{"&Yes", "yes", PromptAnswer::Yes},
                 {"Yes To &All", "yesToAll", PromptAnswer::YesToAll},
                 {"&No", "no", PromptAnswer::No},
                 {"&Cancel", "cancel", PromptAnswer::Cancel}};
  for (const auto& a : answers) {
    QPushButton* button = add(a.label, a.name);
    if (a.value == PromptAnswer::Yes) button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, [answer, value = a.value] { answer(value); });
  }
  QPushButton* open = add("&Open Score file", "openScoreFile");
  QObject::connect(open, &QPushButton::clicked, dialog, [openScore] { openScore(); });
  return row;
}

} // namespace velmora::gui
