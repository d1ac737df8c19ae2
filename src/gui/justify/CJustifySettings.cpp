#include "gui/justify/CJustifySettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "gui/GuiText.h"
#include "gui/Mnemonics.h"
#include "gui/justify/CJustifyWidths.h"
#include "gui/justify/FloatEdit.h"

namespace velmora::gui {

namespace {

QPushButton* namedButton(const char* text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

template <class W> W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

} // namespace

CJustifySettings::CJustifySettings(IHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setWindowTitle(QStringLiteral("Justify Settings"));
  auto* layout = new QVBoxLayout(this);
  prompt_ = named(new QCheckBox(QStringLiteral("Prompt for each item before Operation is made"), this),
                  "promptBeforeOperation");
  stretched_ =
      named(new QCheckBox(QStringLiteral("Recognize Winscore stretched notes (p20)"), this), "recognizeStretchedNotes");
  layout->addWidget(prompt_);
  layout->addWidget(stretched_);

  auto* form = new QFormLayout;
  extension_ = named(new QLineEdit(this), "extension");
  minimumSpace_ = named(newFloatEdit(this), "minimumSpace");
  extraFirst_ = named(newFloatEdit(this), "extraSpaceFirstNote");
  extraTie_ = named(newFloatEdit(this), "extraSpaceOpeningTie");
  barlineType_ = named(new QSpinBox(this), "barlineType");
  barlineType_->setRange(INT_MIN, INT_MAX);
  form->addRow(QStringLiteral("Extension to use for justified files"), extension_);
  form->addRow(QStringLiteral("Minimum space for note justification"), minimumSpace_);
  form->addRow(QStringLiteral("Extra space before first note/rest"), extraFirst_);
  form->addRow(QStringLiteral("Extra space for opening tie"), extraTie_);
  form->addRow(QStringLiteral("Barline type to use for stave group"), barlineType_);
  layout->addLayout(form);

  auto* row = new QHBoxLayout;
  QPushButton* widths = namedButton("Widths...", "widths", this);
  QPushButton* load = namedButton("Load..", "load", this);
  QPushButton* saveAs = namedButton("Save As...", "saveAs", this);
  row->addWidget(widths);
  row->addWidget(load);
  row->addWidget(saveAs);
  layout->addLayout(row);
  connect(widths, &QPushButton::clicked, this, &CJustifySettings::openWidths);
  connect(load, &QPushButton::clicked, this, &CJustifySettings::loadFile);
  connect(saveAs, &QPushButton::clicked, this, &CJustifySettings::saveFile);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CJustifySettings::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  assignMnemonics(this);
}

bool CJustifySettings::edit(JustifyOptions& options) {
  setOptions(options);
  if (exec() != QDialog::Accepted) return false;
  readOptions(options);
  return true;
}

void CJustifySettings::setOptions(const JustifyOptions& options) {
  shown_ = options;
  prompt_->setChecked(options.promptBeforeOperation != 0);
  stretched_->setChecked(options.recognizeStretchedNotes != 0);
  extension_->setText(QString::fromLatin1(options.extension.data(), static_cast<qsizetype>(options.extension.size())));
  setFloatText(minimumSpace_, options.minimumSpace);
  setFloatText(extraFirst_, options.extraSpaceFirstNote);
  setFloatText(extraTie_, options.extraSpaceOpeningTie);
  barlineType_->setValue(options.barlineType);
  widths_ = justifyWidthValues(options);
}

bool CJustifySettings::readOptions(JustifyOptions& options) const {
  options.promptBeforeOperation = prompt_->isChecked() ? 1 : 0;
  options.recognizeStretchedNotes = stretched_->isChecked() ? 1 : 0;
  options.extension = extension_->text().toLatin1().toStdString();
  bool all = readFloatText(minimumSpace_, options.minimumSpace);
  all = readFloatText(extraFirst_, options.extraSpaceFirstNote) && all;
  all = readFloatText(extraTie_, options.extraSpaceOpeningTie) && all;
  options.barlineType = barlineType_->value();
  setJustifyWidthValues(options, widths_);
  return all;
}

// The fields, or false after the message when one holds no number.
bool CJustifySettings::readChecked(JustifyOptions& options) {
  options = shown_;
  if (readOptions(options)) return true;
  host_.showMessage(kEnterNumber);
  return false;
}

void CJustifySettings::accept() {
  JustifyOptions options;
  if (!readChecked(options) || !acceptJustifySettings(host_, options)) return;
  QDialog::accept();
}

QString CJustifySettings::chooseJdtFile(bool forSaving) {
  QFileDialog dialog(this);
  dialog.setNameFilter(QString::fromLatin1(kJdtFilter));
  dialog.setDefaultSuffix(QString::fromLatin1(kJdtExtension));
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

bool CJustifySettings::editWidths(JustifyWidthValues& values) {
  CJustifyWidths dialog(host_, this);
  return dialog.edit(values);
}

void CJustifySettings::openWidths() {
  JustifyWidthValues copy = widths_;
  if (editWidths(copy)) widths_ = copy;
}

void CJustifySettings::loadFile() {
  const QString path = chooseJdtFile(false);
  if (path.isEmpty()) return;
  // Fields an older file does not carry keep what the dialog shows.
  JustifyOptions options = shown_;
  readOptions(options);
  if (loadJustifySettingsFile(host_, toPath(path), options)) setOptions(options);
}

void CJustifySettings::saveFile() {
  JustifyOptions options;
  if (!readChecked(options)) return;
  const QString path = chooseJdtFile(true);
  if (path.isEmpty()) return;
  saveJustifySettingsFile(host_, toPath(path), options);
}

} // namespace velmora::gui
