#include "gui/eps/CAlterBoundingBoxDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "eps/BoxFile.h"

namespace velmora::gui {

CAlterBoundingBoxDlg::CAlterBoundingBoxDlg(IHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setWindowTitle(QStringLiteral("Alter Bounding Box"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  const auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  x1_ = edit("x1");
  y1_ = edit("y1");
  x2_ = edit("x2");
  y2_ = edit("y2");
  form->addRow(QStringLiteral("Bottom left horizontal coordinate"), x1_);
  form->addRow(QStringLiteral("Bottom left vertical coordinate"), y1_);
  form->addRow(QStringLiteral("Top right horizontal coordinate"), x2_);
  form->addRow(QStringLiteral("Top right vertical coordinate"), y2_);
  layout->addLayout(form);

  auto* row = new QHBoxLayout;
  const auto button = [this, row](const char* text) {
    auto* b = new QPushButton(QString::fromLatin1(text), this);
    row->addWidget(b);
    return b;
  };
  auto* ok = button("OK");
  auto* okToAll = button("OK to All");
  auto* cancel = button("Cancel");
  auto* loadButton = button("Load...");
  auto* saveButton = button("Save As...");
  ok->setDefault(true);
  layout->addLayout(row);

  connect(ok, &QPushButton::clicked, this, [this] { confirm(BoxAnswer::Ok); });
  connect(okToAll, &QPushButton::clicked, this, [this] { confirm(BoxAnswer::OkToAll); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(loadButton, &QPushButton::clicked, this, &CAlterBoundingBoxDlg::load);
  connect(saveButton, &QPushButton::clicked, this, &CAlterBoundingBoxDlg::saveAs);
}

void CAlterBoundingBoxDlg::setData(const BoxDialogData& data) {
  data_ = data;
  answer_ = BoxAnswer::Cancel;
  showFields();
}

void CAlterBoundingBoxDlg::readFields() {
  data_.fields = {ansiFromQ(x1_->text()), ansiFromQ(y1_->text()), ansiFromQ(x2_->text()), ansiFromQ(y2_->text())};
}

void CAlterBoundingBoxDlg::showFields() {
  x1_->setText(qFromAnsi(data_.fields.x1));
  y1_->setText(qFromAnsi(data_.fields.y1));
  x2_->setText(qFromAnsi(data_.fields.x2));
  y2_->setText(qFromAnsi(data_.fields.y2));
}

void CAlterBoundingBoxDlg::confirm(BoxAnswer answer) {
  readFields();
  answer_ = answer;
  accept();
}

EpsFileChooser CAlterBoundingBoxDlg::chooser() {
  if (chooser_) return chooser_;
  return platformFileChooser(this, kBoxFileFilter, kBoxFileExtension, kBoxFileInitialName, qFromAnsi(data_.folder));
}

void CAlterBoundingBoxDlg::load() {
  const QString path = chooser()(false);
  if (path.isEmpty()) return;
  std::string message;
  if (!loadBoxFile(ansiFromQ(path), data_.fields, message)) {
    host_.showMessage(message);
    return;
  }
  showFields();
}

void CAlterBoundingBoxDlg::saveAs() {
  const QString path = chooser()(true);
  if (path.isEmpty()) return;
  readFields();
  std::string message;
  if (!saveBoxFile(boxFileSavePath(ansiFromQ(path)), data_.fields, message)) host_.showMessage(message);
}

} // namespace velmora::gui
