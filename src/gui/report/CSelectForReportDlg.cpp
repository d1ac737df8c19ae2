#include "gui/report/CSelectForReportDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {

namespace {

QString latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* button(const char* text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(QString::fromLatin1(text), parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

} // namespace

CSelectForReportDlg::CSelectForReportDlg(const FileSelectionRequest& request, QWidget* parent) : QDialog(parent) {
  setWindowTitle(latin1(request.title));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(latin1(request.label), this);
  label->setObjectName(QStringLiteral("label"));
  layout->addWidget(label);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("names"));
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  list_->setSortingEnabled(true);
  for (const std::string& name : namesMatching(request))
    list_->addItem(latin1(name));
  list_->selectAll();
  label->setBuddy(list_);
  layout->addWidget(list_);

  auto* row = new QHBoxLayout;
  auto* selectAll = button("Select All", "selectAll", this);
  auto* unselectAll = button("Unselect All", "unselectAll", this);
  auto* ok = button("OK", "ok", this);
  ok->setDefault(true);
  auto* cancel = button("Cancel", "cancel", this);
  row->addWidget(selectAll);
  row->addWidget(unselectAll);
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  connect(selectAll, &QPushButton::clicked, list_, &QListWidget::selectAll);
  connect(unselectAll, &QPushButton::clicked, list_, &QListWidget::clearSelection);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<std::string> CSelectForReportDlg::selectedNames() const {
  std::vector<std::string> names;
  for (int row = 0; row < list_->count(); ++row) {
    const QListWidgetItem* item = list_->item(row);
    if (item->isSelected()) names.push_back(item->text().toLatin1().toStdString());
  }
  return names;
}

bool CSelectForReportDlg::choose(std::vector<std::string>& chosen) {
  if (exec() != QDialog::Accepted) return false;
  chosen = selectedNames();
  return true;
}

} // namespace velmora::gui
