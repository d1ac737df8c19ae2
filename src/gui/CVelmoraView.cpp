#include "gui/CVelmoraView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "base/Format.h"
#include "gui/FixedFont.h"
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
  QFont font = fixedPitchFont({QStringLiteral("Courier")});
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
  if (allSelected_) {
    painter.fillRect(QRect(0, top, viewport()->width(), rowHeightPixels()), palette().color(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::HighlightedText));
  }
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

QString CVelmoraView::copyText() const {
  const auto& rows = log_.rows();
  if (rows.empty()) return QString();
  if (!allSelected_) return fromProgramText(rows[static_cast<size_t>(std::clamp(activeRow, 0, getRowCount() - 1))]);
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(rows.size()));
  for (const std::string& row : rows)
    lines << fromProgramText(row);
  return lines.join(QLatin1Char('\n'));
}

void CVelmoraView::copy() {
  if (getRowCount() > 0) QApplication::clipboard()->setText(copyText());
}

void CVelmoraView::selectAll() {
  allSelected_ = getRowCount() > 0;
  viewport()->update();
}

bool CVelmoraView::saveLogTo(const QString& path) {
  std::string error;
  if (log_.saveAs(toPath(path), error)) return true;
  QMessageBox::warning(this, window()->windowTitle(),
                       fromProgramText(strprintf("Unable to write file %s: %s.", toPath(path).c_str(), error.c_str())));
  return false;
}

bool CVelmoraView::saveLogAs() {
  const QString start = (saveFolder_.isEmpty() ? QDir::homePath() : saveFolder_) + QStringLiteral("/velmora-log.txt");
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Log As"), start,
                                                    QStringLiteral("Text files (*.txt);;All files (*)"));
  if (path.isEmpty()) return false;
  saveFolder_ = QFileInfo(path).absolutePath();
  return saveLogTo(path);
}

QMenu* CVelmoraView::createContextMenu() {
  auto* menu = new QMenu(this);
  const bool rows = getRowCount() > 0;
  QAction* copyAction = menu->addAction(QStringLiteral("&Copy"), this, &CVelmoraView::copy);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setEnabled(rows);
  QAction* all = menu->addAction(QStringLiteral("Select &All"), this, &CVelmoraView::selectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(rows);
  menu->addSeparator();
  // The log is still being written while a task runs.
  QAction* save = menu->addAction(QStringLiteral("&Save Log As..."), this, [this] { saveLogAs(); });
  save->setEnabled(rows && !taskRunning_);
  return menu;
}

void CVelmoraView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void CVelmoraView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    if (!taskRunning_) copy();
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
    event->accept();
    return;
  }
  // Moving the active row ends Select All; modifier keys on their own do not.
  static constexpr int kMoves[] = {Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Home,
                                   Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
  if (allSelected_ && std::find(std::begin(kMoves), std::end(kMoves), event->key()) != std::end(kMoves)) {
    allSelected_ = false;
    viewport()->update();
  }
  CRowView::keyPressEvent(event);
}

void CVelmoraView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && allSelected_) {
    allSelected_ = false;
    viewport()->update();
  }
  CRowView::mousePressEvent(event);
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
  allSelected_ = false;
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
