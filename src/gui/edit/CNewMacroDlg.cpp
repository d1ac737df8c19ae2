#include "gui/edit/CNewMacroDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "edit/MacroFiles.h"
#include "gui/GuiText.h"

namespace velmora::gui {

CNewMacroDlg::CNewMacroDlg(QWidget* parent, const QString& caption, bool limitNameLength) : QDialog(parent) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("&Name"), this);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("name"));
  name_->setMinimumWidth(280);
  if (limitNameLength) {
    name_->setMaxLength(static_cast<int>(kDosNameLength));
    // The limit is on typing: a longer name given at start is shown whole and
    // may be kept or shortened, but never grown again.
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
      name_->setMaxLength(std::max(static_cast<int>(kDosNameLength), static_cast<int>(text.size())));
    });
  }
  label->setBuddy(name_);
  layout->addWidget(label);
  layout->addWidget(name_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CNewMacroDlg::onOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CNewMacroDlg::askName(std::string& typed) {
  const QString start = fromAnsi(typed);
  if (name_->maxLength() < start.size()) name_->setMaxLength(static_cast<int>(start.size()));
  name_->setText(start);
  name_->selectAll();
  name_->setFocus();
  if (exec() != QDialog::Accepted) return false;
  typed = toAnsi(name_->text());
  return true;
}

void CNewMacroDlg::onOk() {
  if (!check_ || check_(toAnsi(name_->text()))) {
    accept();
    return;
  }
  name_->setFocus();
  name_->selectAll();
}

} // namespace velmora::gui
