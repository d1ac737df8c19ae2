#include "gui/staves/CSelectStaves.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::gui {

namespace {
constexpr int kColumns = 10;
}

CSelectStaves::CSelectStaves(QWidget* parent) : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* scroll = new QScrollArea(this);
  auto* grid = new QWidget(scroll);
  auto* gridLayout = new QGridLayout(grid);
  for (int s = 1; s <= kMaxStave; ++s) {
    auto* box = new QCheckBox(QStringLiteral("Staff %1").arg(s), grid);
    box->setObjectName(QStringLiteral("staff%1").arg(s));
    gridLayout->addWidget(box, (s - 1) / kColumns, (s - 1) % kColumns);
    boxes_[static_cast<size_t>(s - 1)] = box;
  }
  scroll->setWidget(grid);
  scroll->setWidgetResizable(true);
  layout->addWidget(scroll);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* okToAll = new QPushButton(QStringLiteral("OK to All"), this);
  okToAll->setObjectName(QStringLiteral("okToAll"));
  buttons->addWidget(ok);
  buttons->addWidget(okToAll);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    okToAll_ = false;
    accept();
  });
  connect(okToAll, &QPushButton::clicked, this, [this] {
    okToAll_ = true;
    accept();
  });
  // Wide enough for all ten columns where the screen allows, so no row is cut at its right.
  const int width = grid->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width() +
                    2 * scroll->frameWidth() + layout->contentsMargins().left() + layout->contentsMargins().right();
  const QScreen* shown = screen();
  const int room = shown ? shown->availableGeometry().width() * 9 / 10 : width;
  resize(std::min(width, room), 520);
}

StaveDialogResult CSelectStaves::select(StaveSelection& selection) {
  setWindowTitle(QString::fromLatin1(selection.title.c_str()));
  for (size_t i = 0; i < boxes_.size(); ++i)
    boxes_[i]->setChecked(selection.checked[i]);
  okToAll_ = false;
  // Escape and the window's close button reject: that is Cancel.
  if (exec() != QDialog::Accepted) return StaveDialogResult::Cancel;
  for (size_t i = 0; i < boxes_.size(); ++i)
    selection.checked[i] = boxes_[i]->isChecked();
  return okToAll_ ? StaveDialogResult::OkToAll : StaveDialogResult::Ok;
}

} // namespace velmora::gui
