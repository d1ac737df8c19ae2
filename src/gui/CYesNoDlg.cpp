#include "gui/CYesNoDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/GuiText.h"

namespace velmora::gui {

CYesNoDlg::CYesNoDlg(const QString& title, const std::string& question, QWidget* parent) : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
  icon->setAlignment(Qt::AlignTop);
  question_ = new QLabel(fromAnsi(question), this);
  question_->setObjectName(QStringLiteral("question"));
  question_->setWordWrap(true);
  question_->setMinimumWidth(380);
  row->addWidget(icon);
  row->addWidget(question_, 1);
  layout->addLayout(row);

  auto* buttons = new QHBoxLayout;
  auto* yes = new QPushButton(QStringLiteral("&Yes"), this);
  yes->setObjectName(QStringLiteral("yes"));
  auto* no = new QPushButton(QStringLiteral("&No"), this);
  no->setObjectName(QStringLiteral("no"));
  // Overwriting and deleting are not undone: Enter alone must not do them.
  no->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(yes);
  buttons->addWidget(no);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(yes, &QPushButton::clicked, this, &QDialog::accept);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);
  no->setFocus();
}

bool CYesNoDlg::ask() { return exec() == QDialog::Accepted; }

QString CYesNoDlg::question() const { return question_->text(); }

} // namespace velmora::gui
