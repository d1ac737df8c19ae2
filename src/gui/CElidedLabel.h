#pragma once

#include <QLabel>

namespace velmora::gui {

// A one-line label that shows as much of its text as fits, with "…" in the
// middle when it does not, so both ends of a long path stay readable. The
// whole text is its tooltip.
class CElidedLabel : public QLabel {
  Q_OBJECT
public:
  explicit CElidedLabel(QWidget* parent = nullptr);

  void setFullText(const QString& text);
  QString fullText() const { return full_; }
  // What is shown at the current width.
  QString shownText() const { return text(); }

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void elide();

  QString full_;
};

} // namespace velmora::gui
