#include "gui/beams/CBeamAnglesDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <QTimer>
#include <QVBoxLayout>

#include "beams/BeamLibrary.h"
#include "beams/Messages.h"

namespace velmora::gui {

namespace {

QString fromAnsi(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toAnsi(const QString& text) { return text.toLatin1().toStdString(); }

// Draws a row's tab-separated fields at the list's tab stops.
class TabStopDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    // A horizontal dialog unit is a quarter of the average character width.
    const qreal unit = opt.fontMetrics.averageCharWidth() / 4.0;
    QList<QTextOption::Tab> tabs;
    for (int stop : kBeamRowTabStops)
      tabs.append(QTextOption::Tab(stop * unit, QTextOption::LeftTab));
    QTextOption textOption;
    textOption.setTabs(tabs);
    textOption.setWrapMode(QTextOption::NoWrap);
    painter->save();
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(opt.rect.adjusted(2, 0, -2, 0)), text, textOption);
    painter->restore();
  }
};

} // namespace

CBeamAnglesDlg::CBeamAnglesDlg(IHost& host, IBeamDialogs& dialogs, const BeamLibraryRequest& request, QWidget* parent)
    : QDialog(parent), editor_(host, request.projectFolder), dialogs_(dialogs) {
  setWindowTitle(QString::fromLatin1(beams_msg::kBeamAnglesTitle));
  auto* layout = new QVBoxLayout(this);

  rows_ = new QListWidget(this);
  rows_->setObjectName(QStringLiteral("rows"));
  rows_->setItemDelegate(new TabStopDelegate(rows_));
  rows_->setMinimumWidth(420);
  layout->addWidget(rows_);

  auto* edits = new QHBoxLayout;
  auto* notes = new QGroupBox(QStringLiteral("Note positions"), this);
  auto* notesGrid = new QGridLayout(notes);
  auto* ends = new QGroupBox(QStringLiteral("Beam endpoints"), this);
  auto* endsGrid = new QGridLayout(ends);
  static constexpr const char* kLabels[kBeamFieldCount] = {"Left", "Mid", "Right", "Left", "Right"};
  static constexpr const char* kNames[kBeamFieldCount] = {"leftNote", "midNote", "rightNote", "leftEnd", "rightEnd"};
  for (int i = 0; i < kBeamFieldCount; ++i) {
    QGridLayout* grid = i <= kRightNoteField ? notesGrid : endsGrid;
    const int column = i <= kRightNoteField ? i : i - kLeftEndField;
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(kNames[i]));
    grid->addWidget(new QLabel(QString::fromLatin1(kLabels[i]), this), 0, column);
    grid->addWidget(edit, 1, column);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) { editor_.setField(i, toAnsi(text)); });
    fields_[static_cast<size_t>(i)] = edit;
  }
  edits->addWidget(notes, 3);
  edits->addWidget(ends, 2);
  layout->addLayout(edits);

  auto* controls = new QHBoxLayout;
  add_ = new QPushButton(QStringLiteral("&Add"), this);
  add_->setObjectName(QStringLiteral("add"));
  remove_ = new QPushButton(QStringLiteral("&Remove"), this);
  remove_->setObjectName(QStringLiteral("remove"));
  clear_ = new QPushButton(QStringLiteral("&d"), this);
  clear_->setObjectName(QStringLiteral("clearLibrary"));
  clear_->hide();
  // The hidden button still answers to its mnemonic.
  auto* clearKey = new QShortcut(QKeySequence(QStringLiteral("Alt+D")), this);
  connect(clearKey, &QShortcut::activated, clear_, &QPushButton::click);
  direction_ = new QComboBox(this);
  direction_->setObjectName(QStringLiteral("direction"));
  for (int i = 0; i < kBeamLibraryCount; ++i)
    direction_->addItem(QString::fromLatin1(beamLibraryInfo(i).comboText));
  readOnly_ = new QCheckBox(QStringLiteral("Read Only"), this);
  readOnly_->setObjectName(QStringLiteral("readOnly"));
  controls->addWidget(add_);
  controls->addWidget(remove_);
  controls->addWidget(new QLabel(QStringLiteral("Beam direction"), this));
  controls->addWidget(direction_);
  controls->addWidget(readOnly_);
  layout->addLayout(controls);

  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("count"));
  layout->addWidget(count_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &CBeamAnglesDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(rows_, &QListWidget::currentRowChanged, this, &CBeamAnglesDlg::onRowClicked);
  connect(add_, &QPushButton::clicked, this, &CBeamAnglesDlg::onAdd);
  connect(remove_, &QPushButton::clicked, this, &CBeamAnglesDlg::onRemove);
  connect(clear_, &QPushButton::clicked, this, &CBeamAnglesDlg::onClear);
  connect(direction_, &QComboBox::currentIndexChanged, this, &CBeamAnglesDlg::onDirection);
  connect(readOnly_, &QCheckBox::clicked, this, &CBeamAnglesDlg::onReadOnly);

  if (request.prefilled)
    editor_.openPrefilled(request.libraryIndex, request.left, request.mid, request.right);
  else
    editor_.open(request.libraryIndex);
  showEditor();
  showFields();
}

bool CBeamAnglesDlg::run(BeamLibraryRequest& request) {
  const bool ok = exec() == QDialog::Accepted;
  request.shownIndex = editor_.library();
  request.writtenLibraries = editor_.writtenLibraries();
  return ok;
}

void CBeamAnglesDlg::showEditor() {
  updating_ = true;
  rows_->clear();
  for (const std::string& row : editor_.rows())
    rows_->addItem(fromAnsi(row));
  rows_->setCurrentRow(editor_.selected());
  direction_->setCurrentIndex(editor_.library());
  readOnly_->setChecked(editor_.readOnly());
  const bool editable = !editor_.readOnly();
  for (QLineEdit* edit : fields_)
    edit->setEnabled(editable);
  add_->setEnabled(editable);
  remove_->setEnabled(editable);
  count_->setText(fromAnsi(editor_.countText()));
  updating_ = false;
}

void CBeamAnglesDlg::showFields() {
  for (int i = 0; i < kBeamFieldCount; ++i)
    fields_[static_cast<size_t>(i)]->setText(fromAnsi(editor_.fields()[static_cast<size_t>(i)]));
}

void CBeamAnglesDlg::onRowClicked(int row) {
  if (updating_ || row < 0) return;
  editor_.selectRow(row);
  showFields();
}

bool CBeamAnglesDlg::leaveField(int field) {
  QLineEdit* edit = fields_[static_cast<size_t>(field)];
  editor_.setField(field, toAnsi(edit->text()));
  checking_ = true;
  const bool accepted = editor_.leaveField(field);
  checking_ = false;
  if (!accepted) {
    refused_ = field;
    QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
    return false;
  }
  refused_ = -1;
  showEditor();
  return true;
}

bool CBeamAnglesDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && !checking_) {
    for (int i = 0; i < kBeamFieldCount; ++i)
      if (watched == fields_[static_cast<size_t>(i)] && fields_[static_cast<size_t>(i)]->isEnabled()) leaveField(i);
  }
  return QDialog::eventFilter(watched, event);
}

void CBeamAnglesDlg::onAdd() {
  if (editor_.add()) {
    showEditor();
    fields_[kLeftNoteField]->setFocus();
  }
}

void CBeamAnglesDlg::onRemove() {
  editor_.remove();
  showEditor();
}

void CBeamAnglesDlg::onClear() {
  if (editor_.clearAll(dialogs_)) showEditor();
}

void CBeamAnglesDlg::onDirection(int index) {
  if (updating_) return;
  editor_.changeDirection(index);
  showEditor();
  showFields();
}

void CBeamAnglesDlg::onReadOnly(bool on) {
  editor_.setReadOnly(on);
  showEditor();
}

void CBeamAnglesDlg::accept() {
  // A field left with a refused text keeps the dialog open.
  for (int i = 0; i < kBeamFieldCount; ++i) {
    QLineEdit* edit = fields_[static_cast<size_t>(i)];
    if (edit->hasFocus() && edit->isEnabled()) leaveField(i);
  }
  if (refused_ >= 0) {
    QLineEdit* edit = fields_[static_cast<size_t>(refused_)];
    if (edit->isEnabled() && !checkBeamField(refused_, toAnsi(edit->text())).empty()) return;
  }
  editor_.ok();
  QDialog::accept();
}

} // namespace velmora::gui
