#include "gui/CVelmoraView.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "gui/GuiText.h"

namespace velmora::gui {

namespace {

// A few pixels between the frame and the text.
constexpr int kIndent = 4;
// How long new rows may wait before the view shows them.
constexpr int kRefreshMs = 40;

} // namespace

QString expandTabs(const QString& text) {
  if (!text.contains(QLatin1Char('\t'))) return text;
  QString out;
  out.reserve(text.size() + 16);
  for (const QChar c : text) {
    if (c == QLatin1Char('\t')) {
      out.append(QString(8 - out.size() % 8, QLatin1Char(' ')));
    } else {
      out.append(c);
    }
  }
  return out;
}

QFont CVelmoraView::logFont() {
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // The pixel size whose character width comes closest to 8.
  int best = 13, bestDistance = 1000;
  for (int size = 10; size <= 18; ++size) {
    font.setPixelSize(size);
    const int distance = std::abs(QFontMetrics(font).horizontalAdvance(QLatin1Char('0')) - 8);
    if (distance < bestDistance) best = size, bestDistance = distance;
  }
  font.setPixelSize(best);
  return font;
}

CVelmoraView::CVelmoraView(COutputLog& log, QWidget* parent) : CRowView(parent), log_(log) {
  setFont(logFont());
  log_.setObserver(this);
  refreshTimer_.setSingleShot(true);
  refreshTimer_.setInterval(kRefreshMs);
  connect(&refreshTimer_, &QTimer::timeout, this, &CVelmoraView::refresh);
  updateScrollSizes();
}

CVelmoraView::~CVelmoraView() { log_.setObserver(nullptr); }

void CVelmoraView::getRowMetrics(int& width, int& height) const {
  width = widestRowPixels;
  height = QFontMetrics(font()).lineSpacing();
}

int CVelmoraView::getRowCount() const { return static_cast<int>(std::min<size_t>(log_.size(), INT_MAX)); }

int CVelmoraView::scrollRowCount() const {
  const int rows = getRowCount();
  const int last = lastViewableRow();
  return rows > last + 1 ? last + 2 : rows;
}

QString CVelmoraView::rowText(int row) const {
  if (row > lastViewableRow()) return QString::fromLatin1(kStorageExceeded);
  if (row < 0 || row >= getRowCount()) return QString();
  return expandTabs(fromProgramText(log_.rows()[static_cast<size_t>(row)]));
}

void CVelmoraView::drawRow(QPainter& painter, int row, int top, bool active) {
  (void)active; // the active row looks like any other
  const QString text = rowText(row);
  painter.drawText(kIndent - horizontalScrollBar()->value(), top + painter.fontMetrics().ascent(), text);
  measure(row);
}

void CVelmoraView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::Text));
  painter.setBackgroundMode(Qt::TransparentMode);
  if (getRowCount() == 0) return;
  int first = 0, last = 0;
  rowRangeOfRect(event->rect(), first, last, false);
  last = std::min(last, getRowCount() - 1);
  for (int row = first; row <= last; ++row) {
    if (row > lastViewableRow()) {
      painter.drawText(kIndent - horizontalScrollBar()->value(), rowRect(row).top() + painter.fontMetrics().ascent(),
                       rowText(row));
      break;
    }
    drawRow(painter, row, rowRect(row).top(), row == activeRow);
  }
}

void CVelmoraView::measure(int row) {
  if (row < 0 || row >= getRowCount()) return;
  // Columns counted on the bytes, tabs expanded: an upper bound of the text's
  // length that needs no conversion for the rows that are not the widest.
  int columns = 0;
  if (row > lastViewableRow())
    columns = static_cast<int>(std::strlen(kStorageExceeded));
  else
    for (const char c : log_.rows()[static_cast<size_t>(row)])
      columns = c == '\t' ? (columns / 8 + 1) * 8 : columns + 1;
  if (columns <= widestRowChars) return;
  widestRowChars = columns;
  const int pixels = kIndent + QFontMetrics(font()).horizontalAdvance(rowText(row));
  if (pixels <= widestRowPixels) return;
  widestRowPixels = pixels;
  updateScrollSizes();
}

void CVelmoraView::selectRow(int row) {
  if (getRowCount() == 0) return;
  activeRow = std::clamp(row, 0, lastSelectableRow());
  updateRow(activeRow);
}

void CVelmoraView::rowAppended(size_t index, bool follow) {
  measure(static_cast<int>(index));
  followPending_ = followPending_ || follow;
  if (!refreshTimer_.isActive()) refreshTimer_.start();
}

void CVelmoraView::refresh() {
  refreshTimer_.stop();
  if (followPending_) {
    followPending_ = false;
    selectRow(lastSelectableRow());
  } else {
    updateScrollSizes();
  }
  viewport()->update();
}

void CVelmoraView::rowReplaced(size_t index) {
  measure(static_cast<int>(index));
  viewport()->update(rowRect(static_cast<int>(index)));
}

void CVelmoraView::cleared() {
  widestRowPixels = 0;
  widestRowChars = 0;
  resetDisplay();
}

void CVelmoraView::resetDisplay() {
  refreshTimer_.stop();
  followPending_ = false;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  updateScrollSizes();
  activeRow = 0;
  previousActiveRow = 0;
  viewport()->update();
}

} // namespace velmora::gui
