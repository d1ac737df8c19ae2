#include "gui/edit/CCreateStepDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "batch/FileListFilters.h"
#include "edit/Messages.h"
#include "edit/StepTest.h"
#include "gui/GuiText.h"
#include "gui/edit/CFontChangeDlg.h"
#include "gui/edit/CStepTestDlg.h"
#include "gui/edit/CSyntaxDlg.h"
#include "gui/edit/CTextChangeDlg.h"
#include "settings/Serialize.h"
#include "settings/Settings.h"

namespace velmora::gui {

namespace {

// Descriptions hold several lines with CR LF in the file; the edit field uses LF.
QString descriptionForEditing(const std::string& stored) {
  return fromAnsi(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string descriptionForStoring(const QString& shown) {
  return toAnsi(QString(shown).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

// One filter for every SCORE extension, then all files.
QStringList appendFileFilters() {
  QStringList patterns;
  for (const FileFilter& filter : fileListFilters(FileKind::Score))
    for (const std::string& pattern : filter.patterns)
      if (pattern != "*.*" && !patterns.contains(fromAnsi(pattern))) patterns << fromAnsi(pattern);
  return {QStringLiteral("SCORE files (%1)").arg(patterns.join(QLatin1Char(' '))), QStringLiteral("All Files (*)")};
}

// Puts the keyword buttons' result into the field in place of the caret or selection, keeping undo.
void applyToField(QLineEdit* field, size_t from, size_t to, const CaretText& result) {
  const std::string before = toAnsi(field->text());
  const size_t tail = before.size() - to;
  const std::string inserted = result.text.substr(from, result.text.size() - tail - from);
  field->setFocus();
  field->setSelection(static_cast<int>(from), static_cast<int>(to - from));
  field->insert(fromAnsi(inserted));
  field->setCursorPosition(static_cast<int>(result.caret));
}

void insertAtCaret(QLineEdit* field, StepKeyword keyword) {
  size_t from = static_cast<size_t>(field->cursorPosition());
  size_t to = from;
  if (field->hasSelectedText()) {
    from = static_cast<size_t>(field->selectionStart());
    to = from + static_cast<size_t>(field->selectedText().size());
  }
  applyToField(field, from, to, insertKeyword(toAnsi(field->text()), from, to, keyword));
}

QLineEdit* stepField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  // A stored step may be longer than the usual line limit; it must come back whole.
  field->setMaxLength(std::numeric_limits<int>::max());
  return field;
}

} // namespace

CCreateStepDlg::CCreateStepDlg(const StepEditorRequest& request, IHost& host, QWidget* parent)
    : QDialog(parent), request_(request), host_(host), files_(request.projectFolder, host) {
  setWindowTitle(QString::fromLatin1(request.create ? edit_msg::kCreateStepTitle : edit_msg::kEditStepTitle));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  int row = 0;
  const auto addLabel = [&](const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setBuddy(buddy);
    grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
  };
  const auto addButton = [&](QGridLayout* buttons, int r, int c, const char* text, const char* name,
                             const QString& tip) {
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    if (!tip.isEmpty()) button->setToolTip(tip);
    buttons->addWidget(button, r, c);
    return button;
  };

  auto* name = new QLabel(QStringLiteral("Step: <b>%1</b>").arg(fromAnsi(request.stepName).toHtmlEscaped()), this);
  name->setObjectName(QStringLiteral("stepName"));
  name->setTextFormat(Qt::RichText);
  grid->addWidget(name, row++, 0, 1, 2);

  codeNumbers_ = stepField(this, "codeNumbers");
  codeNumbers_->setMaximumWidth(220);
  codeNumbers_->setToolTip(QStringLiteral("Code numbers 1 to 18 separated by blanks; 99 or empty for every item"));
  addLabel(QStringLiteral("&Code no(s). to affect"), codeNumbers_);
  grid->addWidget(codeNumbers_, row++, 1, Qt::AlignLeft);

  argument_ = stepField(this, "argument");
  argument_->setMinimumWidth(520);
  addLabel(QStringLiteral("i&f"), argument_);
  grid->addWidget(argument_, row++, 1);

  auto* argumentButtons = new QGridLayout;
  argumentButtons->setSpacing(4);
  struct Key {
    const char* label;
    const char* name;
    StepKeyword keyword;
  };
  const Key argumentKeys[] = {
      {"equal to", "argEqual", StepKeyword::Equal},
      {"not equal to", "argNotEqual", StepKeyword::NotEqual},
      {"greater than", "argGreater", StepKeyword::Greater},
      {"less than", "argLess", StepKeyword::Less},
      {"greater or equal to", "argGreaterOrEqual", StepKeyword::GreaterOrEqual},
      {"less or equal to", "argLessOrEqual", StepKeyword::LessOrEqual},
      {"AND", "argAnd", StepKeyword::And},
      {"OR", "argOr", StepKeyword::Or},
      {"COMP", "argComp", StepKeyword::Comp},
      {"COMP2", "argComp2", StepKeyword::Comp2},
      {"TXT", "argTxt", StepKeyword::Txt},
  };
  int index = 0;
  for (const Key& key : argumentKeys) {
    const QString tip = QStringLiteral("Inserts \"%1\"").arg(fromAnsi(std::string(keywordText(key.keyword))));
    QPushButton* button = addButton(argumentButtons, index / 6, index % 6, key.label, key.name, tip);
    connect(button, &QPushButton::clicked, this, [this, keyword = key.keyword] { insertArgumentKeyword(keyword); });
    ++index;
  }
  grid->addLayout(argumentButtons, row++, 1);

  operation_ = stepField(this, "operation");
  addLabel(QStringLiteral("&Operation"), operation_);
  grid->addWidget(operation_, row++, 1);

  auto* operationButtons = new QGridLayout;
  operationButtons->setSpacing(4);
  connect(addButton(operationButtons, 0, 0, "DEL", "opDel", QStringLiteral("Deletes the item")), &QPushButton::clicked,
          this, [this] { setOperation(deleteOperation()); });
  connect(addButton(operationButtons, 0, 1, "INS", "opIns", QStringLiteral("Inserts a new item")),
          &QPushButton::clicked, this, [this] { setOperation(insertOperation()); });
  connect(addButton(operationButtons, 0, 2, "APP", "opApp", QStringLiteral("Appends a SCORE file")),
          &QPushButton::clicked, this, &CCreateStepDlg::chooseAppendFile);
  const Key operationKeys[] = {
      {"COMP", "opComp", StepKeyword::Comp},
      {"COMP2", "opComp2", StepKeyword::Comp2},
      {"TXT", "opTxt", StepKeyword::Txt},
  };
  index = 3;
  for (const Key& key : operationKeys) {
    const QString tip = QStringLiteral("Inserts \"%1\"").arg(fromAnsi(std::string(keywordText(key.keyword))));
    QPushButton* button = addButton(operationButtons, 0, index++, key.label, key.name, tip);
    connect(button, &QPushButton::clicked, this, [this, keyword = key.keyword] { insertOperationKeyword(keyword); });
  }
  operationButtons->setColumnStretch(index, 1);
  grid->addLayout(operationButtons, row++, 1);

  description_ = new QPlainTextEdit(this);
  description_->setObjectName(QStringLiteral("description"));
  description_->setTabChangesFocus(true);
  description_->setFixedHeight(description_->fontMetrics().lineSpacing() * 4 + 12);
  addLabel(QStringLiteral("&Description of step"), description_);
  grid->itemAtPosition(row, 0)->setAlignment(Qt::AlignRight | Qt::AlignTop);
  grid->addWidget(description_, row++, 1);

  notFound_ = new QCheckBox(QStringLiteral("if &no item of this kind found (for use with APP keyword only)"), this);
  notFound_->setObjectName(QStringLiteral("notFound"));
  grid->addWidget(notFound_, row++, 1);
  layout->addLayout(grid);

  auto* bottom = new QHBoxLayout;
  const auto addTool = [&](const char* text, const char* objectName) {
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    bottom->addWidget(button);
    return button;
  };
  connect(addTool("Fon&ts...", "fonts"), &QPushButton::clicked, this, &CCreateStepDlg::onFonts);
  connect(addTool("Te&xt...", "text"), &QPushButton::clicked, this, &CCreateStepDlg::onText);
  connect(addTool("&Syntax...", "syntax"), &QPushButton::clicked, this, &CCreateStepDlg::onSyntax);
  connect(addTool("Test...", "test"), &QPushButton::clicked, this, &CCreateStepDlg::onTest);
  bottom->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CCreateStepDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);

  if (!request.create) {
    StepData stored;
    loaded_ = files_.loadStep(request.stepName, stored);
    if (loaded_) setStep(stored);
  }
  codeNumbers_->setFocus();
}

bool CCreateStepDlg::run() {
  written_ = false;
  return exec() == QDialog::Accepted && written_;
}

StepData CCreateStepDlg::step() const {
  StepData step;
  step.description = descriptionForStoring(description_->toPlainText());
  step.codeNumbers = toAnsi(codeNumbers_->text());
  step.argument = toAnsi(argument_->text());
  step.operation = toAnsi(operation_->text());
  step.notFound = notFound_->isChecked() ? 1 : 0;
  return step;
}

void CCreateStepDlg::setStep(const StepData& step) {
  description_->setPlainText(descriptionForEditing(step.description));
  codeNumbers_->setText(fromAnsi(step.codeNumbers));
  argument_->setText(fromAnsi(step.argument));
  operation_->setText(fromAnsi(step.operation));
  notFound_->setChecked(step.notFoundFlag());
}

bool CCreateStepDlg::checkedStep(StepData& step) {
  const FieldCheck check = normaliseAndCheckStep(step, request_.extendedParameters);
  if (check.ok()) return true;
  host_.showMessage(check.message);
  if (QWidget* field = fieldFor(check.focus)) field->setFocus();
  return false;
}

void CCreateStepDlg::onTest() {
  StepData step = this->step();
  if (!checkedStep(step)) return;
  QFileDialog dialog(this, QStringLiteral("Select SCORE File to Test the Step on"), fromPath(request_.projectFolder));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(appendFileFilters());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = toPath(dialog.selectedFiles().constFirst());
  // The step runs as Edit would run it: with the Edit settings' precision.
  EditOptions options;
  if (!request_.settingsFolder.empty() &&
      loadRecordFile(CSettings(request_.settingsFolder).pathOf(SettingsFile::Edit), options) != LoadResult::Loaded)
    options = EditOptions{};
  StepTestResult result;
  if (!testStepOnFile(host_, request_.projectFolder, options, step, path, CStepTestDlg::kItemLimit, result)) return;
  CStepTestDlg(result, path, this).exec();
}

void CCreateStepDlg::accept() {
  StepData step = this->step();
  if (!checkedStep(step)) return;
  // A write failure has been shown; the fields stay for another try.
  if (!files_.saveStep(request_.stepName, step)) return;
  written_ = true;
  QDialog::accept();
}

QWidget* CCreateStepDlg::fieldFor(StepField field) const {
  switch (field) {
  case StepField::CodeNumbers: return codeNumbers_;
  case StepField::Argument: return argument_;
  case StepField::Operation: return operation_;
  case StepField::None: break;
  }
  return nullptr;
}

void CCreateStepDlg::insertArgumentKeyword(StepKeyword keyword) { insertAtCaret(argument_, keyword); }

void CCreateStepDlg::insertOperationKeyword(StepKeyword keyword) { insertAtCaret(operation_, keyword); }

void CCreateStepDlg::setOperation(const CaretText& operation) {
  applyToField(operation_, 0, toAnsi(operation_->text()).size(), operation);
}

void CCreateStepDlg::chooseAppendFile() {
  QFileDialog dialog(this, QStringLiteral("Select SCORE File to Append"), fromPath(request_.projectFolder));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(appendFileFilters());
  std::string path;
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    path = toPath(dialog.selectedFiles().constFirst());
  // A cancelled choice still leaves the brackets to type into.
  setOperation(appendOperation(path));
}

void CCreateStepDlg::onFonts() {
  CFontChangeDlg dialog(host_, this);
  std::string search, replacement;
  if (!dialog.ask(search, replacement)) return;
  StepData step = this->step();
  fillFontReplace(step, search, replacement);
  setStep(step);
}

void CCreateStepDlg::onText() {
  CTextChangeDlg dialog(host_, this);
  std::string search, replacement;
  if (!dialog.ask(search, replacement)) return;
  StepData step = this->step();
  fillTextReplace(step, search, replacement);
  setStep(step);
}

void CCreateStepDlg::onSyntax() {
  CSyntaxDlg dialog(request_.settingsFolder, this);
  dialog.exec();
}

} // namespace velmora::gui
