#pragma once

#include <QDialog>

#include "base/Host.h"
#include "eps/EpsDialogs.h"
#include "gui/eps/EpsFileDialogs.h"

class QLineEdit;

namespace velmora::gui {

// "Alter Bounding Box": four coordinate expressions, for one file or, with
// "OK to All", for every file after it.
class CAlterBoundingBoxDlg : public QDialog {
  Q_OBJECT
public:
  CAlterBoundingBoxDlg(IHost& host, QWidget* parent = nullptr);

  void setData(const BoxDialogData& data);
  const BoxDialogData& data() const { return data_; }
  // Which button closed the dialog; Cancel until one of the OK buttons did.
  BoxAnswer answer() const { return answer_; }
  void setFileChooser(EpsFileChooser chooser) { chooser_ = std::move(chooser); }

private:
  void readFields();
  void showFields();
  void confirm(BoxAnswer answer);
  void load();
  void saveAs();
  EpsFileChooser chooser();

  IHost& host_;
  BoxDialogData data_;
  BoxAnswer answer_ = BoxAnswer::Cancel;
  EpsFileChooser chooser_;
  QLineEdit* x1_;
  QLineEdit* y1_;
  QLineEdit* x2_;
  QLineEdit* y2_;
};

} // namespace velmora::gui
