#include "gui/CVelmoraView.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace velmora::gui {

namespace {

QString rowText(const std::string& row) { return QString::fromLatin1(row.data(), static_cast<qsizetype>(row.size())); }

} // namespace

CVelmoraView::CVelmoraView(COutputLog& log, QWidget* parent) : QAbstractScrollArea(parent), log_(log) {
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  setFont(font);
  viewport()->setBackgroundRole(QPalette::Base);
  setFocusPolicy(Qt::StrongFocus);
  log_.setObserver(this);
}

CVelmoraView::~CVelmoraView() { log_.setObserver(nullptr); }

int CVelmoraView::rowHeight() const { return QFontMetrics(font()).lineSpacing(); }

void CVelmoraView::updateScrollSizes() {
  const int h = rowHeight();
  const int rows = static_cast<int>(log_.size());
  const int pageRows = std::max(1, viewport()->height() / h - 1);
  verticalScrollBar()->setRange(0, std::max(0, rows - pageRows - 1));
  verticalScrollBar()->setPageStep(pageRows);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setRange(0, std::max(0, widestRowPixels_ - viewport()->width()));
  horizontalScrollBar()->setPageStep(std::max(1, viewport()->width() / 5));
}

void CVelmoraView::selectRow(int row) {
  const int rows = static_cast<int>(log_.size());
  if (rows == 0) return;
  activeRow_ = std::clamp(row, 0, rows - 1);
  const int pageRows = std::max(1, viewport()->height() / rowHeight());
  QScrollBar* bar = verticalScrollBar();
  if (activeRow_ < bar->value())
    bar->setValue(activeRow_);
  else if (activeRow_ >= bar->value() + pageRows)
    bar->setValue(activeRow_ - pageRows + 1);
  viewport()->update();
}

void CVelmoraView::rowAppended(size_t index, bool follow) {
  const QFontMetrics metrics(font());
  widestRowPixels_ = std::max(widestRowPixels_, metrics.horizontalAdvance(rowText(log_.rows()[index])));
  updateScrollSizes();
  if (follow) selectRow(static_cast<int>(index));
  viewport()->update();
}

void CVelmoraView::rowReplaced(size_t index) { rowAppended(index, false); }

void CVelmoraView::cleared() {
  activeRow_ = 0;
  widestRowPixels_ = 0;
  verticalScrollBar()->setValue(0);
  updateScrollSizes();
  viewport()->update();
}

void CVelmoraView::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter painter(viewport());
  const int h = rowHeight();
  const int first = verticalScrollBar()->value();
  const int x = -horizontalScrollBar()->value();
  const int rows = static_cast<int>(log_.size());
  for (int i = first, y = 0; i < rows && y < viewport()->height(); ++i, y += h)
    painter.drawText(QRect(x, y, std::max(widestRowPixels_, viewport()->width()) + 10, h),
                     Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop, rowText(log_.rows()[static_cast<size_t>(i)]));
}

void CVelmoraView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollSizes();
}

void CVelmoraView::keyPressEvent(QKeyEvent* event) {
  const int rows = static_cast<int>(log_.size());
  switch (event->key()) {
  case Qt::Key_Home: selectRow(0); break;
  case Qt::Key_End: selectRow(rows - 1); break;
  case Qt::Key_Up:
    if (activeRow_ > 0) selectRow(activeRow_ - 1);
    break;
  case Qt::Key_Down:
    if (activeRow_ < rows - 1) selectRow(activeRow_ + 1);
    break;
  case Qt::Key_PageUp: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub); break;
  case Qt::Key_PageDown: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
  default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void CVelmoraView::mousePressEvent(QMouseEvent* event) {
  const int row = verticalScrollBar()->value() + static_cast<int>(event->position().y()) / rowHeight();
  if (row < static_cast<int>(log_.size())) selectRow(row);
  QAbstractScrollArea::mousePressEvent(event);
}

} // namespace velmora::gui
