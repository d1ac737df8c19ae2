#pragma once

#include <QDialog>

namespace velmora::gui {

// "About Velmora": the program icon, the version line and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT
public:
  explicit CAboutDlg(QWidget* parent);
};

} // namespace velmora::gui
