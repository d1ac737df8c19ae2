#pragma once

#include <QFont>
#include <QTimer>

class QMenu;

#include "batch/COutputLog.h"
#include "gui/CRowView.h"

namespace velmora::gui {

inline constexpr const char* kStorageExceeded = "You have exceeded the storage capacity of the scrolling view";

// The output log: the core's rows in a fixed-pitch font with tabs expanded.
class CVelmoraView : public CRowView, public ILogObserver {
  Q_OBJECT
public:
  explicit CVelmoraView(COutputLog& log, QWidget* parent = nullptr);
  ~CVelmoraView() override;

  void getRowMetrics(int& width, int& height) const override;
  int getActiveRow() const override { return activeRow; }
  int getRowCount() const override;
  void drawRow(QPainter& painter, int row, int top, bool active) override;
  void selectRow(int row) override;

  // What row `row` shows: its text with tabs expanded, or the capacity
  // message in the one row after the last viewable row.
  QString rowText(int row) const;
  // Scroll to the origin, first row active, repaint.
  void resetDisplay();

  int widestRowPixelCount() const { return widestRowPixels; }

  // The fixed-pitch font of the log, 8 pixels a character where the fonts allow.
  static QFont logFont();

  // The log's clipboard and file commands. Copy takes every row after
  // Select All, else the active row; Ctrl+C copies too while no task runs.
  QString copyText() const;
  void copy();
  void selectAll();
  bool allSelected() const { return allSelected_; }
  // "Save Log As...": asks for a name, then writes the rows; false when nothing was written.
  bool saveLogAs();
  bool saveLogTo(const QString& path);
  // The context menu as it would open now (the caller owns it).
  QMenu* createContextMenu();
  void setTaskRunning(bool running) { taskRunning_ = running; }

  void rowAppended(size_t index, bool follow) override;
  void rowReplaced(size_t index) override;
  void cleared() override;

protected:
  int scrollRowCount() const override;
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  void measure(int row);
  // Scroll sizes, following and repaint for the rows appended since the last refresh.
  void refresh();

  COutputLog& log_;
  int widestRowPixels = 0;
  int widestRowChars = 0;
  int activeRow = 0;
  // A batch appends rows far faster than anyone can read them, so the view
  // catches up on a timer instead of scrolling and repainting for each row.
  QTimer refreshTimer_;
  bool followPending_ = false;
  bool allSelected_ = false;
  bool taskRunning_ = false;
  QString saveFolder_; // where "Save Log As..." last saved
};

// Tabs to the next multiple of eight columns, as the default tab stops do.
QString expandTabs(const QString& text);

} // namespace velmora::gui
