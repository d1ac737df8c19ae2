#include "gui/CItemCountOptionsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "gui/Mnemonics.h"

namespace velmora::gui {

CItemCountOptionsDlg::CItemCountOptionsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Item Count Settings"));
  auto* layout = new QVBoxLayout(this);
  skipBlankStaves_ = new QCheckBox(QStringLiteral("Don't include blank staves in stave count"), this);
  layout->addWidget(skipBlankStaves_);
  layout->addSpacing(8);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  assignMnemonics(this);
}

bool CItemCountOptionsDlg::editItemCountOptions(ItemCountOptions& options) {
  skipBlankStaves_->setChecked(options.skipBlankStaves != 0);
  if (exec() != QDialog::Accepted) return false;
  options.skipBlankStaves = skipBlankStaves_->isChecked() ? 1 : 0;
  return true;
}

} // namespace velmora::gui
