#include "gui/edit/CEditMacroDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "edit/Messages.h"
#include "gui/GuiText.h"
#include "gui/edit/CFileDeleteDlg.h"
#include "gui/edit/EditNames.h"
#include "gui/report/CSelectForReportDlg.h"

namespace velmora::gui {

namespace {

std::vector<std::string> namesOf(const QListWidget* list, bool selectedOnly) {
  std::vector<std::string> names;
  for (int row = 0; row < list->count(); ++row)
    if (!selectedOnly || list->item(row)->isSelected()) names.push_back(toAnsi(list->item(row)->text()));
  return names;
}

} // namespace

CEditMacroDlg::CEditMacroDlg(const MacroEditRequest& request, IHost& host, QWidget* parent)
    : CEditMacroDlg(request, host, parent, Form::Plain) {}

CEditMacroDlg::CEditMacroDlg(const MacroEditRequest& request, IHost& host, QWidget* parent, Form form)
    : QDialog(parent), request_(request), files_(request.projectFolder, host), dragging_(form == Form::Dragging) {
  build();
  fillSteps({});
  updateButtons();
}

void CEditMacroDlg::build() {
  setWindowTitle(request_.create ? QStringLiteral("Create Macro") : QStringLiteral("Edit Macro"));
  auto* layout = new QVBoxLayout(this);

  name_ = new QLabel(fromAnsi(request_.name), this);
  name_->setObjectName(QStringLiteral("macroName"));
  QFont bold = name_->font();
  bold.setBold(true);
  name_->setFont(bold);
  layout->addWidget(name_);

  auto* macroDescriptionLabel = new QLabel(QStringLiteral("Description of Ma&cro"), this);
  macroDescription_ = new QPlainTextEdit(this);
  macroDescription_->setObjectName(QStringLiteral("macroDescription"));
  macroDescription_->setTabChangesFocus(true);
  macroDescription_->setFixedHeight(macroDescription_->fontMetrics().lineSpacing() * 4 + 12);
  macroDescriptionLabel->setBuddy(macroDescription_);
  layout->addWidget(macroDescriptionLabel);
  layout->addWidget(macroDescription_);

  auto* lists = new QGridLayout;
  auto* stepsLabel = new QLabel(QStringLiteral("Select a &step"), this);
  steps_ = new QListWidget(this);
  steps_->setObjectName(QStringLiteral("steps"));
  steps_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  steps_->setMinimumSize(200, 220);
  stepsLabel->setBuddy(steps_);
  auto* macroStepsLabel = new QLabel(QStringLiteral("Steps in &macro"), this);
  macroSteps_ = new QListWidget(this);
  macroSteps_->setObjectName(QStringLiteral("macroSteps"));
  macroSteps_->setMinimumSize(200, 220);
  macroStepsLabel->setBuddy(macroSteps_);
  if (dragging_) {
    macroSteps_->setSelectionMode(QAbstractItemView::SingleSelection);
    macroSteps_->setDragDropMode(QAbstractItemView::InternalMove);
    macroSteps_->setDefaultDropAction(Qt::MoveAction);
    macroSteps_->setDropIndicatorShown(true);
    macroSteps_->setToolTip(QStringLiteral("Drag a step to its new place, or use Ctrl+Up and Ctrl+Down"));
  } else {
    macroSteps_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  }

  auto* transfer = new QVBoxLayout;
  add_ = new QPushButton(QStringLiteral("&>>"), this);
  add_->setObjectName(QStringLiteral("add"));
  add_->setToolTip(QStringLiteral("Add the selected steps to the end of the macro"));
  remove_ = new QPushButton(QStringLiteral("&<<"), this);
  remove_->setObjectName(QStringLiteral("remove"));
  remove_->setToolTip(QStringLiteral("Take the selected steps out of the macro (Delete)"));
  transfer->addStretch();
  transfer->addWidget(add_);
  transfer->addWidget(remove_);
  transfer->addStretch();

  lists->addWidget(stepsLabel, 0, 0);
  lists->addWidget(macroStepsLabel, 0, 2);
  lists->addWidget(steps_, 1, 0);
  lists->addLayout(transfer, 1, 1);
  lists->addWidget(macroSteps_, 1, 2);
  lists->setColumnStretch(0, 1);
  lists->setColumnStretch(2, 1);
  lists->setRowStretch(1, 1);

  auto* right = new QVBoxLayout;
  const auto button = [&](const char* label, const char* name) {
    auto* b = new QPushButton(QString::fromLatin1(label), this);
    b->setObjectName(QString::fromLatin1(name));
    right->addWidget(b);
    return b;
  };
  newStep_ = button("New S&tep...", "newStep");
  editStep_ = button("&Edit Step...", "editStep");
  duplicateStep_ = button("D&uplicate...", "duplicateStep");
  renameStep_ = button("&Rename Step...", "renameStep");
  deleteStep_ = button("De&lete Step", "deleteStep");
  right->addSpacing(12);
  appendMacro_ = button("&Append Macro...", "appendMacro");
  right->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setObjectName(QStringLiteral("ok"));
  ok_->setDefault(true);
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  right->addWidget(buttons);

  auto* middle = new QHBoxLayout;
  middle->addLayout(lists, 1);
  middle->addLayout(right);
  layout->addLayout(middle, 1);

  auto* stepDescriptionLabel = new QLabel(QStringLiteral("Descr&iption of step"), this);
  stepDescription_ = new QPlainTextEdit(this);
  stepDescription_->setObjectName(QStringLiteral("stepDescription"));
  stepDescription_->setReadOnly(true);
  stepDescription_->setTabChangesFocus(true);
  stepDescription_->setFixedHeight(stepDescription_->fontMetrics().lineSpacing() * 3 + 12);
  stepDescriptionLabel->setBuddy(stepDescription_);
  layout->addWidget(stepDescriptionLabel);
  layout->addWidget(stepDescription_);

  // Tab goes down the page: description, the lists, then the buttons beside them.
  setTabOrder(macroDescription_, steps_);
  setTabOrder(steps_, add_);
  setTabOrder(add_, remove_);
  setTabOrder(remove_, macroSteps_);
  setTabOrder(macroSteps_, newStep_);
  setTabOrder(newStep_, editStep_);
  setTabOrder(editStep_, duplicateStep_);
  setTabOrder(duplicateStep_, renameStep_);
  setTabOrder(renameStep_, deleteStep_);
  setTabOrder(deleteStep_, appendMacro_);
  setTabOrder(appendMacro_, ok_);
  setTabOrder(ok_, buttons->button(QDialogButtonBox::Cancel));
  setTabOrder(buttons->button(QDialogButtonBox::Cancel), stepDescription_);

  connect(buttons, &QDialogButtonBox::accepted, this, &CEditMacroDlg::onOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(add_, &QPushButton::clicked, this, &CEditMacroDlg::onAdd);
  connect(remove_, &QPushButton::clicked, this, &CEditMacroDlg::onRemove);
  connect(newStep_, &QPushButton::clicked, this, &CEditMacroDlg::onNewStep);
  connect(editStep_, &QPushButton::clicked, this, &CEditMacroDlg::onEditStep);
  connect(duplicateStep_, &QPushButton::clicked, this, &CEditMacroDlg::onDuplicateStep);
  connect(renameStep_, &QPushButton::clicked, this, &CEditMacroDlg::onRenameStep);
  connect(deleteStep_, &QPushButton::clicked, this, &CEditMacroDlg::onDeleteStep);
  connect(appendMacro_, &QPushButton::clicked, this, &CEditMacroDlg::onAppendMacro);
  for (QListWidget* list : {steps_, macroSteps_}) {
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
      if (list->hasFocus() || !list->selectedItems().isEmpty()) active_ = list;
      if (active_ == list) showStep(list->currentItem());
      updateButtons();
    });
    connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem* item) {
      active_ = list;
      showStep(item);
      updateButtons();
    });
  }
  // A double click moves the step across, as the arrow buttons do.
  connect(steps_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    macroSteps_->addItem(item->text());
    macroSteps_->scrollToBottom();
    updateButtons();
  });
  connect(macroSteps_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    delete macroSteps_->takeItem(macroSteps_->row(item));
    updateButtons();
  });
  // Delete takes entries out; in the dragging form Ctrl+Up and Ctrl+Down move one.
  macroSteps_->installEventFilter(this);
  steps_->setFocus();
}

bool CEditMacroDlg::load() {
  MacroData macro;
  if (!request_.create && !files_.loadMacroForEditing(request_.name, macro)) return false;
  storedDescription_ = macro.description;
  macroDescription_->setPlainText(fromAnsiLines(macro.description));
  setMacroSteps(macro.steps);
  return true;
}

bool CEditMacroDlg::run() {
  if (!load()) return false;
  return exec() == QDialog::Accepted;
}

MacroData CEditMacroDlg::macro() const {
  MacroData macro;
  // An unchanged description keeps its bytes, line ends and all.
  const QString shown = macroDescription_->toPlainText();
  macro.description = shown == fromAnsiLines(storedDescription_) ? storedDescription_ : toAnsiLines(shown);
  macro.steps = macroSteps();
  return macro;
}

bool CEditMacroDlg::save() { return files_.saveMacro(request_.name, macro()); }

void CEditMacroDlg::onOk() {
  // A failed write keeps the dialog open, so the macro is not lost.
  if (save()) accept();
}

void CEditMacroDlg::fillSteps(const std::vector<std::string>& select) {
  steps_->clear();
  for (const std::string& name : files_.list(EditFileKind::Step))
    steps_->addItem(fromAnsi(name));
  for (const std::string& name : select) {
    const QList<QListWidgetItem*> found = steps_->findItems(fromAnsi(name), Qt::MatchFixedString);
    if (found.isEmpty()) continue;
    found.front()->setSelected(true);
    steps_->setCurrentItem(found.front(), QItemSelectionModel::Select);
    steps_->scrollToItem(found.front());
    active_ = steps_;
  }
  refreshStepDescription();
}

void CEditMacroDlg::setMacroSteps(const std::vector<std::string>& steps) {
  macroSteps_->clear();
  for (const std::string& name : steps)
    macroSteps_->addItem(fromAnsi(name));
  updateButtons();
}

std::vector<std::string> CEditMacroDlg::macroSteps() const { return namesOf(macroSteps_, false); }

std::vector<std::string> CEditMacroDlg::targets() const {
  if (!active_) return {};
  std::vector<std::string> names;
  for (const std::string& name : namesOf(active_, true))
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  return names;
}

void CEditMacroDlg::showStep(const QListWidgetItem* item) {
  shownStep_ = item && item->isSelected() ? toAnsi(item->text()) : std::string();
  refreshStepDescription();
}

void CEditMacroDlg::refreshStepDescription() {
  StepData step;
  std::string message;
  if (!shownStep_.empty() && readStepFile(files_.pathOf(EditFileKind::Step, shownStep_), step, message) == FileRead::Ok)
    stepDescription_->setPlainText(fromAnsiLines(step.description));
  else
    stepDescription_->clear();
}

void CEditMacroDlg::updateButtons() {
  const size_t count = targets().size();
  add_->setEnabled(!steps_->selectedItems().isEmpty());
  remove_->setEnabled(!macroSteps_->selectedItems().isEmpty());
  editStep_->setEnabled(count == 1);
  duplicateStep_->setEnabled(count == 1);
  renameStep_->setEnabled(count == 1);
  deleteStep_->setEnabled(count > 0);
}

bool CEditMacroDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched != macroSteps_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
    onRemove();
    return true;
  }
  if (dragging_ && key->modifiers() == Qt::ControlModifier &&
      (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
    moveCurrent(key->key() == Qt::Key_Up ? -1 : 1);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CEditMacroDlg::moveCurrent(int by) {
  const int row = macroSteps_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= macroSteps_->count()) return;
  QListWidgetItem* item = macroSteps_->takeItem(row);
  macroSteps_->insertItem(to, item);
  macroSteps_->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
}

void CEditMacroDlg::onAdd() {
  for (const std::string& name : namesOf(steps_, true))
    macroSteps_->addItem(fromAnsi(name));
  macroSteps_->scrollToBottom();
  updateButtons();
}

void CEditMacroDlg::onRemove() {
  for (QListWidgetItem* item : macroSteps_->selectedItems())
    delete macroSteps_->takeItem(macroSteps_->row(item));
  updateButtons();
}

void CEditMacroDlg::onNewStep() {
  const std::string name = askNewName(this, files_, EditFileKind::Step, QString::fromLatin1(edit_msg::kNewStepCaption),
                                      request_.limitNameLength);
  if (name.empty()) return;
  bool written = false;
  if (stepEditor_)
    written = stepEditor_(name, true);
  else
    written = files_.exists(EditFileKind::Step, name) || files_.saveStep(name, StepData{});
  steps_->clearSelection();
  fillSteps(written ? std::vector<std::string>{name} : std::vector<std::string>{});
  if (written) showStep(steps_->currentItem());
  updateButtons();
}

void CEditMacroDlg::onEditStep() {
  const std::vector<std::string> names = targets();
  if (names.size() != 1 || !stepEditor_) return;
  stepEditor_(names.front(), false);
  refreshStepDescription();
}

void CEditMacroDlg::onDuplicateStep() {
  const std::vector<std::string> names = targets();
  if (names.size() != 1) return;
  const std::string name = askNewName(this, files_, EditFileKind::Step,
                                      QString::fromLatin1(edit_msg::kDuplicateCaption), request_.limitNameLength);
  if (name.empty() || !files_.duplicate(EditFileKind::Step, names.front(), name)) return;
  steps_->clearSelection();
  fillSteps({name});
  showStep(steps_->currentItem());
  updateButtons();
}

void CEditMacroDlg::onRenameStep() {
  const std::vector<std::string> names = targets();
  if (names.size() != 1) return;
  const std::string from = names.front();
  const std::string to = askRename(this, files_, EditFileKind::Step, from, request_.limitNameLength,
                                   [&](const std::string& name) { return files_.renameStep(from, name); });
  if (to.empty()) return;
  // The files on disk were renamed in every macro; this one follows the same rule.
  for (int row = 0; row < macroSteps_->count(); ++row)
    if (toAnsi(macroSteps_->item(row)->text()) == from) macroSteps_->item(row)->setText(fromAnsi(to));
  steps_->clearSelection();
  fillSteps({to});
  showStep(steps_->currentItem());
  updateButtons();
}

void CEditMacroDlg::onDeleteStep() {
  const std::vector<std::string> names = targets();
  if (names.empty()) return;
  const int count = static_cast<int>(names.size());
  if (!CFileDeleteDlg(CEditFiles::deleteQuestion(EditFileKind::Step, count), this).ask()) return;
  // The macro's entries that name a deleted file, found before the files go.
  std::set<std::string> paths;
  for (const std::string& name : names)
    paths.insert(files_.pathOf(EditFileKind::Step, name));
  std::vector<int> rows;
  for (int row = 0; row < macroSteps_->count(); ++row)
    if (paths.count(files_.pathOf(EditFileKind::Step, toAnsi(macroSteps_->item(row)->text())))) rows.push_back(row);
  files_.remove(EditFileKind::Step, names);
  for (auto it = rows.rbegin(); it != rows.rend(); ++it)
    delete macroSteps_->takeItem(*it);
  active_ = nullptr;
  shownStep_.clear();
  fillSteps({});
  updateButtons();
}

void CEditMacroDlg::onAppendMacro() {
  CSelectForReportDlg dialog({edit_msg::kAppendMacroTitle, "Macros", edit_msg::kMacroMask, request_.projectFolder},
                             this);
  std::vector<std::string> chosen;
  if (!dialog.choose(chosen) || chosen.empty()) return;
  std::vector<std::string> steps = macroSteps();
  // Steps appended before a missing macro stay.
  files_.appendMacros(chosen, steps);
  setMacroSteps(steps);
  macroSteps_->scrollToBottom();
}

} // namespace velmora::gui
