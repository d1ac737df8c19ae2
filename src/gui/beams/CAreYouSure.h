#pragma once

#include <QDialog>

namespace velmora::gui {

// "Are You Sure?" before the library dialog clears the whole library.
class CAreYouSure : public QDialog {
  Q_OBJECT
public:
  explicit CAreYouSure(QWidget* parent = nullptr);
  // True for "Yes".
  bool ask();
};

} // namespace velmora::gui
