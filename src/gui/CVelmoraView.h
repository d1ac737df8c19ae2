#pragma once

#include <QAbstractScrollArea>

#include "batch/COutputLog.h"

namespace velmora::gui {

// The output log: equal-height rows of fixed-pitch text over the core's
// row list, with tab expansion and the last row followed into view.
class CVelmoraView : public QAbstractScrollArea, public ILogObserver {
  Q_OBJECT
public:
  CVelmoraView(COutputLog& log, QWidget* parent = nullptr);
  ~CVelmoraView() override;

  void rowAppended(size_t index, bool follow) override;
  void rowReplaced(size_t index) override;
  void cleared() override;

  int activeRow() const { return activeRow_; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  int rowHeight() const;
  void updateScrollSizes();
  void selectRow(int row);

  COutputLog& log_;
  int activeRow_ = 0;
  int widestRowPixels_ = 0;
};

} // namespace velmora::gui
