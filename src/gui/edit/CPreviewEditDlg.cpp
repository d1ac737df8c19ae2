#include "gui/edit/CPreviewEditDlg.h"

#include <algorithm>
#include <cstring>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/FileSystem.h"
#include "base/Format.h"

namespace velmora::gui {

namespace {

QString text(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

QString number(long long n) { return QString::number(n); }

std::string parameters(const CItem& item, int32_t from) {
  std::string line;
  for (int32_t n = from; n <= static_cast<int32_t>(trimmedParams(item).size()); ++n)
    line += strprintf("%sP%d %g", line.empty() ? "" : "  ", n, static_cast<double>(item.p(n)));
  return line;
}

// The changed parameters only, on each side.
std::pair<std::string, std::string> changedParameters(const CItem& before, const CItem& after) {
  std::string was;
  std::string now;
  const int32_t count = std::max(before.count(), after.count());
  for (int32_t n = 1; n <= count; ++n) {
    const float x = before.p(n);
    const float y = after.p(n);
    if (std::memcmp(&x, &y, sizeof x) == 0) continue;
    was += strprintf("%sP%d %g", was.empty() ? "" : "  ", n, static_cast<double>(x));
    now += strprintf("%sP%d %g", now.empty() ? "" : "  ", n, static_cast<double>(y));
  }
  return {was, now};
}

} // namespace

CPreviewEditDlg::CPreviewEditDlg(const std::string& macro, const std::vector<FileChanges>& files, ItemLister lister,
                                 QWidget* parent)
    : QDialog(parent), lister_(std::move(lister)) {
  setWindowTitle(text("Preview Edit - " + macro));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Nothing has been written. Select a file to see its changed items."), this));
  auto* splitter = new QSplitter(Qt::Vertical, this);
  files_ = new QTreeWidget(splitter);
  files_->setColumnCount(5);
  files_->setHeaderLabels({tr("File / step"), tr("Matched"), tr("Changed"), tr("Deleted"), tr("Inserted")});
  files_->setRootIsDecorated(true);
  for (const FileChanges& file : files) {
    long long matched = 0;
    for (const StepChanges& step : file.steps)
      matched += step.counts.matched;
    auto* row = new QTreeWidgetItem(files_, {text(fileNameOf(file.path)), number(matched), number(file.counts.changed),
                                             number(file.counts.deleted), number(file.counts.inserted)});
    row->setData(0, Qt::UserRole, text(file.path));
    row->setToolTip(0, text(file.path));
    for (const StepChanges& step : file.steps)
      new QTreeWidgetItem(row, {text("step " + step.name), number(step.counts.matched), number(step.counts.changed),
                                number(step.counts.deleted), number(step.counts.inserted)});
  }
  files_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  items_ = newChangeTable(splitter);
  layout->addWidget(splitter, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* run = buttons->addButton(tr("Run Edit"), QDialogButtonBox::AcceptRole);
  QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
  connect(run, &QPushButton::clicked, this, [this] { done(kRunEdit); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(files_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    while (current && current->parent())
      current = current->parent();
    if (current) showItems(current->data(0, Qt::UserRole).toString().toStdString());
  });
  // The first file's items show as the window opens.
  if (files_->topLevelItemCount() > 0) files_->setCurrentItem(files_->topLevelItem(0));
  resize(760, 520);
}

void CPreviewEditDlg::showItems(const std::string& path) {
  fillChangeTable(items_, lister_ ? lister_(path) : std::vector<ItemChange>{});
}

QTableWidget* newChangeTable(QWidget* parent) {
  auto* table = new QTableWidget(0, 5, parent);
  table->setObjectName(QStringLiteral("items"));
  table->setHorizontalHeaderLabels(
      {QObject::tr("Item"), QObject::tr("Stave"), QObject::tr("Code"), QObject::tr("Before"), QObject::tr("After")});
  table->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
  table->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return table;
}

void fillChangeTable(QTableWidget* table, const std::vector<ItemChange>& changes) {
  table->setRowCount(static_cast<int>(changes.size()));
  int row = 0;
  for (const ItemChange& change : changes) {
    const CItem& shown = change.kind == ItemChange::Kind::Inserted ? change.after : change.before;
    QString kind = QObject::tr("changed");
    std::pair<std::string, std::string> sides;
    if (change.kind == ItemChange::Kind::Changed) {
      sides = changedParameters(change.before, change.after);
    } else if (change.kind == ItemChange::Kind::Deleted) {
      kind = QObject::tr("deleted");
      sides.first = parameters(change.before, 3);
    } else {
      kind = QObject::tr("inserted");
      sides.second = parameters(change.after, 3);
    }
    const QStringList cells{kind, QString::number(static_cast<double>(shown.stave())),
                            QString::number(static_cast<double>(shown.code())), text(sides.first), text(sides.second)};
    for (int column = 0; column < cells.size(); ++column)
      table->setItem(row, column, new QTableWidgetItem(cells[column]));
    ++row;
  }
}

} // namespace velmora::gui
