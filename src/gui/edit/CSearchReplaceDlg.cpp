#include "gui/edit/CSearchReplaceDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/GuiText.h"

namespace velmora::gui {

CSearchReplaceDlg::CSearchReplaceDlg(IHost& host, QWidget* parent, const char* title, const QString& searchLabel,
                                     const QString& replacementLabel, size_t maxLength)
    : QDialog(parent), host_(host) {
  setWindowTitle(QString::fromLatin1(title));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  const auto field = [&](const QString& label, const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(static_cast<int>(maxLength));
    // Wide enough for a whole text; a font number needs only a short field.
    edit->setMinimumWidth(maxLength > 2 ? 360 : 60);
    if (maxLength <= 2) edit->setMaximumWidth(60);
    form->addRow(label, edit);
    return edit;
  };
  search_ = field(searchLabel, "search");
  replacement_ = field(replacementLabel, "replacement");
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSearchReplaceDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CSearchReplaceDlg::ask(std::string& search, std::string& replacement) {
  search_->setText(fromAnsi(search));
  replacement_->setText(fromAnsi(replacement));
  search_->setFocus();
  if (exec() != QDialog::Accepted) return false;
  search = toAnsi(search_->text());
  replacement = toAnsi(replacement_->text());
  return true;
}

void CSearchReplaceDlg::accept() {
  const ReplaceCheck result = check(toAnsi(search_->text()), toAnsi(replacement_->text()));
  if (!result.ok()) {
    host_.showMessage(result.message);
    (result.focus == ReplaceField::Search ? search_ : replacement_)->setFocus();
    return;
  }
  QDialog::accept();
}

} // namespace velmora::gui
