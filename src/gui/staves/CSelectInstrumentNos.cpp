#include "gui/staves/CSelectInstrumentNos.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "staves/Messages.h"

namespace velmora::gui {

CSelectInstrumentNos::CSelectInstrumentNos(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(staves_msg::kSelectInstrumentsTitle));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(QString::fromLatin1(staves_msg::kSelectInstrumentsText), this);
  text->setWordWrap(true);
  layout->addWidget(text);
  numbers_ = new QLineEdit(this);
  numbers_->setObjectName(QStringLiteral("numbers"));
  layout->addWidget(numbers_);
  keepListed_ = new QCheckBox(QString::fromLatin1(staves_msg::kKeepListedLabel), this);
  keepListed_->setObjectName(QStringLiteral("keepListed"));
  layout->addWidget(keepListed_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(420, sizeHint().height());
}

bool CSelectInstrumentNos::choose(InstrumentChoice& choice) {
  numbers_->setText(QString::fromLatin1(choice.numbers.c_str()));
  keepListed_->setChecked(choice.keepListed);
  if (exec() != QDialog::Accepted) return false;
  choice.numbers = numbers_->text().toLatin1().toStdString();
  choice.keepListed = keepListed_->isChecked();
  return true;
}

} // namespace velmora::gui
