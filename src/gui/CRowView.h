#pragma once

#include <QAbstractScrollArea>

class QPainter;

namespace velmora::gui {

// A scroll view of equal-height text rows with one active row. Subclasses
// say how many rows there are and draw them; this class does the geometry,
// the scrolling and the keys. Scrolling counts whole rows, so no pixel
// extent can overflow however long the log grows.
class CRowView : public QAbstractScrollArea {
  Q_OBJECT
public:
  explicit CRowView(QWidget* parent = nullptr);

  virtual void getRowMetrics(int& width, int& height) const = 0;
  virtual int getActiveRow() const = 0;
  virtual int getRowCount() const = 0;
  virtual void drawRow(QPainter& painter, int row, int top, bool active) = 0;
  // Down (forward) or up by one row, within the rows that can be active.
  virtual void moveSelection(bool forward);
  // Makes `row` active and scrolls it into view.
  virtual void selectRow(int row) = 0;
  virtual void computeRowMetrics();
  virtual void updateScrollSizes();
  // The row's rectangle in viewport pixels, full display width.
  virtual QRect rowRect(int row) const;
  // The row's top in document pixels.
  virtual qint64 rowTop(int row) const;
  // The rows meeting `rect` (viewport pixels); only rows wholly inside it when wholeRowsOnly.
  virtual void rowRangeOfRect(const QRect& rect, int& first, int& last, bool wholeRowsOnly) const;
  // Rows past this index are never drawn.
  virtual int lastViewableRow() const;

  int rowHeightPixels() const { return rowHeight; }
  int firstVisibleRow() const;
  // The highest row that may be active: min(row count - 1, lastViewableRow - 2).
  int lastSelectableRow() const;

protected:
  // Scrolls `row` into view and repaints it and the previously active row.
  void updateRow(int row);
  // How many rows the scroll range covers.
  virtual int scrollRowCount() const;

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

  int rowWidth = 0;
  int rowHeight = 1;
  int previousActiveRow = 0;
  int previousRowCount = 0;
};

} // namespace velmora::gui
