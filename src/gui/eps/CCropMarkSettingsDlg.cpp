#include "gui/eps/CCropMarkSettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/Mnemonics.h"

namespace velmora::gui {

namespace {

QLineEdit* numberEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaximumWidth(80);
  return edit;
}

QToolButton* arrowButton(QWidget* parent, Qt::ArrowType arrow, const char* name) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

// A label whose Alt key moves to `buddy`.
QLabel* buddyLabel(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setBuddy(buddy);
  return label;
}

} // namespace

CCropMarkSettingsDlg::CCropMarkSettingsDlg(IHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setWindowTitle(QStringLiteral("Crop Mark Settings"));
  auto* layout = new QVBoxLayout(this);

  auto* paperRow = new QHBoxLayout;
  paperSize_ = new QComboBox(this);
  paperSize_->setObjectName(QStringLiteral("paperSize"));
  paperRow->addWidget(buddyLabel("Paper size", paperSize_, this));
  for (const PaperSize& paper : paperSizes())
    paperSize_->addItem(QString::fromLatin1(paper.name));
  paperRow->addWidget(paperSize_);
  portrait_ = new QRadioButton(QStringLiteral("Portrait"), this);
  landscape_ = new QRadioButton(QStringLiteral("Landscape"), this);
  paperRow->addWidget(portrait_);
  paperRow->addWidget(landscape_);
  layout->addLayout(paperRow);

  auto* box = new QGroupBox(QStringLiteral("Bounding box"), this);
  auto* boxGrid = new QGridLayout(box);
  boxX1_ = numberEdit(box, "boxX1");
  boxY1_ = numberEdit(box, "boxY1");
  boxX2_ = numberEdit(box, "boxX2");
  boxY2_ = numberEdit(box, "boxY2");
  boxGrid->addWidget(buddyLabel("x1", boxX1_, box), 0, 0);
  boxGrid->addWidget(boxX1_, 0, 1);
  boxGrid->addWidget(buddyLabel("y1", boxY1_, box), 0, 2);
  boxGrid->addWidget(boxY1_, 0, 3);
  boxGrid->addWidget(buddyLabel("x2", boxX2_, box), 1, 0);
  boxGrid->addWidget(boxX2_, 1, 1);
  boxGrid->addWidget(buddyLabel("y2", boxY2_, box), 1, 2);
  boxGrid->addWidget(boxY2_, 1, 3);
  boxGrid->addWidget(new QLabel(QStringLiteral("XOffset"), box), 2, 0);
  auto* xLeft = arrowButton(box, Qt::LeftArrow, "xOffsetLeft");
  auto* xRight = arrowButton(box, Qt::RightArrow, "xOffsetRight");
  auto* xRow = new QHBoxLayout;
  xRow->addWidget(xLeft);
  xRow->addWidget(xRight);
  boxGrid->addLayout(xRow, 2, 1);
  boxGrid->addWidget(new QLabel(QStringLiteral("YOffset"), box), 2, 2);
  auto* yUp = arrowButton(box, Qt::UpArrow, "yOffsetUp");
  auto* yDown = arrowButton(box, Qt::DownArrow, "yOffsetDown");
  auto* yRow = new QHBoxLayout;
  yRow->addWidget(yUp);
  yRow->addWidget(yDown);
  boxGrid->addLayout(yRow, 2, 3);
  layout->addWidget(box);

  auto* origin = new QGroupBox(QStringLiteral("Translate origin"), this);
  auto* originRow = new QHBoxLayout(origin);
  originX_ = numberEdit(origin, "originX");
  originY_ = numberEdit(origin, "originY");
  originRow->addWidget(buddyLabel("x", originX_, origin));
  originRow->addWidget(originX_);
  originRow->addWidget(buddyLabel("y", originY_, origin));
  originRow->addWidget(originY_);
  layout->addWidget(origin);

  auto* marks = new QGridLayout;
  markLength_ = numberEdit(this, "markLength");
  markThickness_ = numberEdit(this, "markThickness");
  marks->addWidget(buddyLabel("Crop mark line length", markLength_, this), 0, 0);
  marks->addWidget(markLength_, 0, 1);
  marks->addWidget(buddyLabel("Crop mark line thickness", markThickness_, this), 1, 0);
  marks->addWidget(markThickness_, 1, 1);
  layout->addLayout(marks);

  align_ = new QCheckBox(QStringLiteral("Align with Bounding Box in file"), this);
  rename_ = new QCheckBox(QStringLiteral("Rename file to Score filename + EPS"), this);
  layout->addWidget(align_);
  layout->addWidget(rename_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* loadButton = buttons->addButton(QStringLiteral("Load..."), QDialogButtonBox::ActionRole);
  auto* saveButton = buttons->addButton(QStringLiteral("Save As..."), QDialogButtonBox::ActionRole);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &CCropMarkSettingsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(loadButton, &QPushButton::clicked, this, &CCropMarkSettingsDlg::load);
  connect(saveButton, &QPushButton::clicked, this, &CCropMarkSettingsDlg::saveAs);
  connect(paperSize_, &QComboBox::activated, this, &CCropMarkSettingsDlg::choosePaper);
  connect(portrait_, &QRadioButton::clicked, this, &CCropMarkSettingsDlg::choosePaper);
  connect(landscape_, &QRadioButton::clicked, this, &CCropMarkSettingsDlg::choosePaper);
  // A spin arrow reports -1 for right and up, which moves the box that way.
  connect(xRight, &QToolButton::clicked, this, [this] { offset(true, -1); });
  connect(xLeft, &QToolButton::clicked, this, [this] { offset(true, 1); });
  connect(yUp, &QToolButton::clicked, this, [this] { offset(false, -1); });
  connect(yDown, &QToolButton::clicked, this, [this] { offset(false, 1); });
  assignMnemonics(this);
}

void CCropMarkSettingsDlg::setData(const CropDialogData& data) {
  data_ = data;
  showControls();
}

void CCropMarkSettingsDlg::showControls() {
  const CropOptions& o = data_.options;
  paperSize_->setCurrentIndex(o.paperSize >= 0 && o.paperSize < paperSize_->count() ? o.paperSize : -1);
  portrait_->setChecked(o.landscape == 0);
  landscape_->setChecked(o.landscape != 0);
  const CropFieldTexts texts = cropFieldTexts(o);
  boxX1_->setText(qFromAnsi(texts.boxX1));
  boxY1_->setText(qFromAnsi(texts.boxY1));
  boxX2_->setText(qFromAnsi(texts.boxX2));
  boxY2_->setText(qFromAnsi(texts.boxY2));
  originX_->setText(qFromAnsi(texts.originX));
  originY_->setText(qFromAnsi(texts.originY));
  markLength_->setText(qFromAnsi(texts.markLength));
  markThickness_->setText(qFromAnsi(texts.markThickness));
  align_->setChecked(o.alignWithFileBox != 0);
  rename_->setChecked(o.renameToScoreName != 0);
}

QLineEdit* CCropMarkSettingsDlg::field(CropField which) const {
  switch (which) {
  case CropField::BoxX1: return boxX1_;
  case CropField::BoxY1: return boxY1_;
  case CropField::BoxX2: return boxX2_;
  case CropField::BoxY2: return boxY2_;
  case CropField::OriginX: return originX_;
  case CropField::OriginY: return originY_;
  case CropField::MarkLength: return markLength_;
  case CropField::MarkThickness: return markThickness_;
  case CropField::None: break;
  }
  return nullptr;
}

bool CCropMarkSettingsDlg::readControls() {
  CropFieldTexts texts;
  texts.boxX1 = ansiFromQ(boxX1_->text());
  texts.boxY1 = ansiFromQ(boxY1_->text());
  texts.boxX2 = ansiFromQ(boxX2_->text());
  texts.boxY2 = ansiFromQ(boxY2_->text());
  texts.originX = ansiFromQ(originX_->text());
  texts.originY = ansiFromQ(originY_->text());
  texts.markLength = ansiFromQ(markLength_->text());
  texts.markThickness = ansiFromQ(markThickness_->text());
  CropOptions read = data_.options;
  const CropFieldProblem problem = readCropFieldTexts(texts, read);
  if (!problem.ok()) {
    host_.showMessage(problem.message);
    if (QLineEdit* bad = field(problem.field)) {
      bad->setFocus();
      bad->selectAll();
    }
    return false;
  }
  if (paperSize_->currentIndex() >= 0) read.paperSize = paperSize_->currentIndex();
  read.landscape = landscape_->isChecked() ? 1 : 0;
  read.alignWithFileBox = align_->isChecked() ? 1 : 0;
  read.renameToScoreName = rename_->isChecked() ? 1 : 0;
  data_.options = read;
  return true;
}

void CCropMarkSettingsDlg::choosePaper() {
  if (!readControls()) return;
  applyPaperSize(data_.options, paperSize_->currentIndex(), landscape_->isChecked());
  showControls();
}

void CCropMarkSettingsDlg::offset(bool horizontal, int arrowDelta) {
  if (!readControls()) return;
  applyBoxOffset(data_.options, horizontal, arrowDelta);
  showControls();
}

EpsFileChooser CCropMarkSettingsDlg::chooser() {
  if (chooser_) return chooser_;
  return platformFileChooser(this, kCropFileFilter, kCropFileExtension, kCropFileInitialName, qFromAnsi(data_.folder));
}

void CCropMarkSettingsDlg::load() {
  const QString path = chooser()(false);
  if (path.isEmpty()) return;
  std::string message;
  if (!loadCropFile(ansiFromQ(path), data_.options, message)) {
    host_.showMessage(message);
    return;
  }
  showControls();
}

void CCropMarkSettingsDlg::saveAs() {
  const QString path = chooser()(true);
  if (path.isEmpty() || !readControls()) return;
  std::string message;
  if (!saveCropFile(ansiFromQ(path), data_.options, message)) host_.showMessage(message);
}

void CCropMarkSettingsDlg::accept() {
  if (readControls()) QDialog::accept();
}

} // namespace velmora::gui
