#include "gui/beams/CAreYouSure.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "beams/Messages.h"

namespace velmora::gui {

CAreYouSure::CAreYouSure(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(beams_msg::kAreYouSureTitle));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(QString::fromLatin1(beams_msg::kAreYouSureText), this);
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* buttons = new QHBoxLayout;
  auto* yes = new QPushButton(QStringLiteral("Yes"), this);
  yes->setObjectName(QStringLiteral("yes"));
  auto* no = new QPushButton(QStringLiteral("No"), this);
  no->setObjectName(QStringLiteral("no"));
  // Deleting everything is never the default.
  no->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(yes);
  buttons->addWidget(no);
  layout->addLayout(buttons);
  connect(yes, &QPushButton::clicked, this, &QDialog::accept);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);
}

bool CAreYouSure::ask() { return exec() == QDialog::Accepted; }

} // namespace velmora::gui
