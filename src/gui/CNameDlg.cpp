#include "gui/CNameDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/GuiText.h"

namespace velmora::gui {

CNameDlg::CNameDlg(QWidget* parent, const QString& title, const std::string& prompt) : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(fromAnsi(prompt), this);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("name"));
  name_->setMinimumWidth(320);
  label->setBuddy(name_);
  layout->addWidget(label);
  layout->addWidget(name_);
  layout->addSpacing(6);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  connect(name_, &QLineEdit::textChanged, ok, [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CNameDlg::askName(std::string& name) {
  name_->setText(fromPath(name));
  name_->selectAll();
  if (exec() != QDialog::Accepted) return false;
  name = toPath(name_->text().trimmed()); // it names a folder
  return true;
}

} // namespace velmora::gui
