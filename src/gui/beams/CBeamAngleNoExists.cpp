#include "gui/beams/CBeamAngleNoExists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "beams/Messages.h"

namespace velmora::gui {

namespace {

constexpr int kYes = 1, kNo = 2, kNoToAll = 3;

} // namespace

CBeamAngleNoExists::CBeamAngleNoExists(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(beams_msg::kNotFoundTitle));
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("text"));
  layout->addWidget(text_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (const auto& [label, name, code] :
       {std::tuple{"Yes", "yes", kYes}, std::tuple{"No", "no", kNo}, std::tuple{"No To All", "noToAll", kNoToAll}}) {
    auto* button = new QPushButton(QString::fromLatin1(label), this);
    button->setObjectName(QString::fromLatin1(name));
    const int result = code;
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
}

BeamNotFoundAnswer CBeamAngleNoExists::ask(const BeamNotFoundQuestion& question) {
  text_->setText(QString::fromLatin1(question.text.data(), static_cast<qsizetype>(question.text.size())));
  switch (exec()) {
  case kYes: return BeamNotFoundAnswer::Yes;
  case kNoToAll: return BeamNotFoundAnswer::NoToAll;
  default: return BeamNotFoundAnswer::No;
  }
}

} // namespace velmora::gui
