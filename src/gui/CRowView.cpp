#include "gui/CRowView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace velmora::gui {

CRowView::CRowView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

int CRowView::lastViewableRow() const { return INT_MAX / std::max(1, rowHeight) - 1; }

int CRowView::firstVisibleRow() const { return verticalScrollBar()->value(); }

int CRowView::lastSelectableRow() const { return std::max(0, std::min(getRowCount() - 1, lastViewableRow() - 2)); }

int CRowView::scrollRowCount() const { return std::min(getRowCount(), lastViewableRow() + 1); }

void CRowView::moveSelection(bool forward) {
  const int active = getActiveRow();
  if (forward && active < lastSelectableRow()) selectRow(active + 1);
  if (!forward && active > 0) selectRow(active - 1);
}

void CRowView::computeRowMetrics() {
  getRowMetrics(rowWidth, rowHeight);
  rowHeight = std::max(1, rowHeight);
}

void CRowView::updateScrollSizes() {
  computeRowMetrics();
  previousRowCount = getRowCount();
  const int clientRows = std::max(1, viewport()->height() / rowHeight);
  QScrollBar* v = verticalScrollBar();
  v->setRange(0, std::max(0, scrollRowCount() - clientRows));
  v->setPageStep(std::max(1, clientRows - 1));
  v->setSingleStep(1);
  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, std::max(0, rowWidth - viewport()->width()));
  h->setPageStep(std::max(1, rowWidth / 5));
  h->setSingleStep(std::max(1, rowWidth / 20));
}

qint64 CRowView::rowTop(int row) const { return static_cast<qint64>(row) * rowHeight; }

QRect CRowView::rowRect(int row) const {
  const qint64 top = rowTop(row) - rowTop(firstVisibleRow());
  const qint64 clamped = std::clamp<qint64>(top, -rowHeight, viewport()->height());
  return QRect(0, static_cast<int>(clamped), viewport()->width(), rowHeight);
}

void CRowView::rowRangeOfRect(const QRect& rect, int& first, int& last, bool wholeRowsOnly) const {
  const int top = std::max(0, rect.top());
  const int bottom = std::max(top, rect.bottom());
  const int base = firstVisibleRow();
  first = base + (wholeRowsOnly ? (top + rowHeight - 1) / rowHeight : top / rowHeight);
  last = base + (wholeRowsOnly ? (bottom + 1) / rowHeight - 1 : bottom / rowHeight);
}

void CRowView::updateRow(int row) {
  if (getRowCount() != previousRowCount) updateScrollSizes();
  const int first = firstVisibleRow();
  const int clientRows = std::max(1, viewport()->height() / rowHeight);
  if (row < first)
    verticalScrollBar()->setValue(row);
  else if (row > first + clientRows - 1)
    verticalScrollBar()->setValue(row - clientRows + 1);
  viewport()->update(rowRect(row));
  if (previousActiveRow != row) viewport()->update(rowRect(previousActiveRow));
  previousActiveRow = row;
}

void CRowView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  int first = 0, last = 0;
  rowRangeOfRect(event->rect(), first, last, false);
  last = std::min({last, getRowCount() - 1, lastViewableRow()});
  const int active = getActiveRow();
  for (int row = first; row <= last; ++row)
    drawRow(painter, row, rowRect(row).top(), row == active);
}

void CRowView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollSizes();
}

void CRowView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    updateScrollSizes();
    viewport()->update();
  }
}

void CRowView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_PageUp: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub); break;
  case Qt::Key_PageDown: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
  case Qt::Key_Home: selectRow(0); break;
  case Qt::Key_End: selectRow(lastSelectableRow()); break;
  case Qt::Key_Up: moveSelection(false); break;
  case Qt::Key_Down: moveSelection(true); break;
  default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

void CRowView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const int y = static_cast<int>(event->position().y());
    const int row = firstVisibleRow() + std::max(0, y) / rowHeight;
    if (row < getRowCount() && row <= lastViewableRow()) selectRow(row);
  }
  QAbstractScrollArea::mousePressEvent(event);
}

} // namespace velmora::gui
