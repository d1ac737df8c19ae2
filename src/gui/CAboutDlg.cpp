#include "gui/CAboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "app/CommandTable.h"
#include "base/Version.h"
#include "gui/GuiText.h"

namespace velmora::gui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kAboutTitle));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/icons/velmora.svg")).pixmap(64, 64));
  icon->setAlignment(Qt::AlignTop);
  row->addWidget(icon);
  row->addSpacing(12);
  auto* text = new QVBoxLayout;
  auto* line = new QLabel(fromAnsi(aboutLine()), this);
  line->setObjectName(QStringLiteral("aboutLine"));
  QFont bold = line->font();
  bold.setBold(true);
  line->setFont(bold);
  text->addWidget(line);
  text->addWidget(new QLabel(QStringLiteral("Batch processing for SCORE files"), this));
  text->addWidget(new QLabel(QStringLiteral("Built with Qt %1").arg(QString::fromLatin1(qVersion())), this));
  auto* copyright = new QLabel(QString::fromLatin1(kCopyrightLine), this);
  copyright->setObjectName(QStringLiteral("copyrightLine"));
  text->addWidget(copyright);
  auto* licenceLabel = new QLabel(QString::fromLatin1(kLicenseLine), this);
  licenceLabel->setObjectName(QStringLiteral("licenseLine"));
  text->addWidget(licenceLabel);
  text->addStretch(1);
  row->addLayout(text);
  layout->addLayout(row);
  layout->addSpacing(8);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velmora::gui
