#include "gui/edit/CSelectMacroDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "edit/Messages.h"
#include "gui/GuiText.h"
#include "gui/edit/CFileDeleteDlg.h"
#include "gui/edit/EditNames.h"

namespace velmora::gui {

CSelectMacroDlg::CSelectMacroDlg(const SelectMacroRequest& request, IHost& host, QWidget* parent)
    : QDialog(parent), request_(request), files_(request.projectFolder, host) {
  setWindowTitle(QStringLiteral("Select a Macro"));
  auto* layout = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* macrosLabel = new QLabel(QStringLiteral("&Macros"), this);
  macros_ = new QListWidget(this);
  macros_->setObjectName(QStringLiteral("macros"));
  macros_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  macros_->setMinimumSize(220, 240);
  macrosLabel->setBuddy(macros_);
  auto* descriptionLabel = new QLabel(QStringLiteral("Descr&iption"), this);
  description_ = new QPlainTextEdit(this);
  description_->setObjectName(QStringLiteral("description"));
  description_->setReadOnly(true);
  description_->setMaximumHeight(80);
  description_->setTabChangesFocus(true);
  descriptionLabel->setBuddy(description_);
  left->addWidget(macrosLabel);
  left->addWidget(macros_);
  left->addWidget(descriptionLabel);
  left->addWidget(description_);
  layout->addLayout(left);

  auto* right = new QVBoxLayout;
  const auto add = [&](const char* label, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(label), this);
    button->setObjectName(QString::fromLatin1(name));
    right->addWidget(button);
    return button;
  };
  new_ = add("&New Macro...", "newMacro");
  edit_ = add("&Edit Macro...", "editMacro");
  duplicate_ = add("D&uplicate...", "duplicate");
  rename_ = add("&Rename Macro...", "renameMacro");
  delete_ = add("&Delete Macro", "deleteMacro");
  right->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  right->addWidget(buttons);
  layout->addLayout(right);

  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (!chosen().empty()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(macros_, &QListWidget::itemDoubleClicked, this, [this] {
    if (!chosen().empty()) accept();
  });
  connect(macros_, &QListWidget::itemSelectionChanged, this, &CSelectMacroDlg::updateButtons);
  connect(new_, &QPushButton::clicked, this, &CSelectMacroDlg::onNew);
  connect(edit_, &QPushButton::clicked, this, &CSelectMacroDlg::onEdit);
  connect(duplicate_, &QPushButton::clicked, this, &CSelectMacroDlg::onDuplicate);
  connect(rename_, &QPushButton::clicked, this, &CSelectMacroDlg::onRename);
  connect(delete_, &QPushButton::clicked, this, &CSelectMacroDlg::onDelete);

  fill(request_.preselected);
  if (macros_->count() == 0)
    new_->setFocus();
  else
    macros_->setFocus();
}

bool CSelectMacroDlg::choose(std::string& chosen) {
  if (exec() != QDialog::Accepted) return false;
  chosen = this->chosen();
  return !chosen.empty();
}

std::string CSelectMacroDlg::chosen() const {
  const QListWidgetItem* item = macros_->currentItem();
  if (!item || !item->isSelected()) {
    const QList<QListWidgetItem*> selected = macros_->selectedItems();
    if (selected.isEmpty()) return {};
    item = selected.front();
  }
  return toAnsi(item->text());
}

void CSelectMacroDlg::rebuild(const std::string& select) {
  request_.macros = files_.list(EditFileKind::Macro);
  fill(select);
}

void CSelectMacroDlg::fill(const std::string& select) {
  macros_->clear();
  for (const std::string& name : request_.macros)
    macros_->addItem(fromAnsi(name));
  QListWidgetItem* target = nullptr;
  const QList<QListWidgetItem*> found = macros_->findItems(fromAnsi(select), Qt::MatchFixedString);
  if (!found.isEmpty()) target = found.front();
  if (!target && macros_->count() > 0) target = macros_->item(0);
  if (target) macros_->setCurrentItem(target, QItemSelectionModel::ClearAndSelect);
  updateButtons();
}

std::vector<std::string> CSelectMacroDlg::selectedNames() const {
  std::vector<std::string> names;
  for (int row = 0; row < macros_->count(); ++row)
    if (macros_->item(row)->isSelected()) names.push_back(toAnsi(macros_->item(row)->text()));
  return names;
}

void CSelectMacroDlg::updateButtons() {
  const std::vector<std::string> names = selectedNames();
  const bool one = names.size() == 1;
  edit_->setEnabled(one);
  duplicate_->setEnabled(one);
  rename_->setEnabled(one);
  delete_->setEnabled(!names.empty());
  ok_->setEnabled(one);
  MacroData macro;
  std::string message;
  if (one && readMacroFile(files_.pathOf(EditFileKind::Macro, names.front()), macro, message) == FileRead::Ok)
    description_->setPlainText(fromAnsiLines(macro.description));
  else
    description_->clear();
}

void CSelectMacroDlg::onNew() {
  const std::string name = askNewName(this, files_, EditFileKind::Macro,
                                      QString::fromLatin1(edit_msg::kNewMacroCaption), request_.limitNameLength);
  if (name.empty()) return;
  if (editor_)
    editor_(name, true);
  else if (!files_.exists(EditFileKind::Macro, name))
    files_.saveMacro(name, MacroData{});
  rebuild(name);
}

void CSelectMacroDlg::onEdit() {
  const std::vector<std::string> names = selectedNames();
  if (names.size() != 1 || !editor_) return;
  editor_(names.front(), false);
  rebuild(names.front());
}

void CSelectMacroDlg::onDuplicate() {
  const std::vector<std::string> names = selectedNames();
  if (names.size() != 1) return;
  const std::string name = askNewName(this, files_, EditFileKind::Macro,
                                      QString::fromLatin1(edit_msg::kDuplicateCaption), request_.limitNameLength);
  if (name.empty()) return;
  files_.duplicate(EditFileKind::Macro, names.front(), name);
  rebuild(name);
}

void CSelectMacroDlg::onRename() {
  const std::vector<std::string> names = selectedNames();
  if (names.size() != 1) return;
  const std::string& from = names.front();
  const std::string renamed = askRename(this, files_, EditFileKind::Macro, from, request_.limitNameLength,
                                        [&](const std::string& to) { return files_.renameMacro(from, to); });
  rebuild(renamed.empty() ? from : renamed);
}

void CSelectMacroDlg::onDelete() {
  const std::vector<std::string> names = selectedNames();
  if (names.empty()) return;
  const int count = static_cast<int>(names.size());
  if (!CFileDeleteDlg(CEditFiles::deleteQuestion(EditFileKind::Macro, count), this).ask()) return;
  files_.remove(EditFileKind::Macro, names);
  rebuild({});
}

} // namespace velmora::gui
