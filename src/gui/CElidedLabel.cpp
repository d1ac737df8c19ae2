#include "gui/CElidedLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace velmora::gui {

CElidedLabel::CElidedLabel(QWidget* parent) : QLabel(parent) {
  setWordWrap(false);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter); // the end of the status bar, where it always stood
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CElidedLabel::setFullText(const QString& text) {
  full_ = text;
  setToolTip(text);
  updateGeometry();
  elide();
}

QSize CElidedLabel::minimumSizeHint() const {
  // Room for a few characters either side of the "…".
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(QStringLiteral("Project…/xx/")) + 2 * margin(), metrics.height()};
}

QSize CElidedLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(full_) + 2 * margin() + 4, metrics.height()};
}

void CElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  elide();
}

void CElidedLabel::elide() {
  const int room = contentsRect().width() - 2 * margin();
  setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, std::max(0, room)));
}

} // namespace velmora::gui
