#include "gui/edit/CSyntaxDlg.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "edit/Messages.h"
#include "edit/SyntaxHelp.h"
#include "gui/FixedFont.h"
#include "gui/GuiText.h"

namespace velmora::gui {

CSyntaxDlg::CSyntaxDlg(const std::string& settingsFolder, QWidget* parent)
    : QDialog(parent), text_(readSyntaxHelp(settingsFolder)) {
  setWindowTitle(QString::fromLatin1(edit_msg::kSyntaxTitle));
  auto* layout = new QVBoxLayout(this);
  view_ = new QPlainTextEdit(this);
  view_->setObjectName(QStringLiteral("syntax"));
  view_->setReadOnly(true);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  view_->setFont(fixedPitchFont());
  view_->setPlainText(fromAnsi(text_));
  // Room for 80 columns and about 32 lines, the layout of the shipped text.
  const QFontMetrics metrics(view_->font());
  view_->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('M')) * 82 + 30, metrics.lineSpacing() * 32);
  layout->addWidget(view_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

} // namespace velmora::gui
