#pragma once

#include <QDialog>

#include "base/Host.h"
#include "eps/CropSettings.h"
#include "eps/EpsDialogs.h"
#include "gui/eps/EpsFileDialogs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace velmora::gui {

// "Crop Mark Settings": the crop box, origin and marks of Add crop marks.
class CCropMarkSettingsDlg : public QDialog {
  Q_OBJECT
public:
  CCropMarkSettingsDlg(IHost& host, QWidget* parent = nullptr);

  void setData(const CropDialogData& data);
  // The values as last read from the controls (on OK, the confirmed ones).
  const CropDialogData& data() const { return data_; }
  void setFileChooser(EpsFileChooser chooser) { chooser_ = std::move(chooser); }

  void accept() override;

private:
  // False after the framework's message for a refused entry.
  bool readControls();
  void showControls();
  void choosePaper();
  void offset(bool horizontal, int arrowDelta);
  void load();
  void saveAs();
  QLineEdit* field(CropField which) const;
  EpsFileChooser chooser();

  IHost& host_;
  CropDialogData data_;
  EpsFileChooser chooser_;
  QComboBox* paperSize_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QLineEdit* boxX1_;
  QLineEdit* boxY1_;
  QLineEdit* boxX2_;
  QLineEdit* boxY2_;
  QLineEdit* originX_;
  QLineEdit* originY_;
  QLineEdit* markLength_;
  QLineEdit* markThickness_;
  QCheckBox* align_;
  QCheckBox* rename_;
};

} // namespace velmora::gui
