#include "gui/eps/CEpsDialogs.h"

#include "gui/CGuiHost.h"

#include "gui/eps/CAlterBoundingBoxDlg.h"
#include "gui/eps/CCropMarkSettingsDlg.h"

namespace velmora::gui {

BoxAnswer CEpsDialogs::alterBoundingBox(BoxDialogData& data) {
  CAlterBoundingBoxDlg dialog(host_, parent_);
  dialog.setData(data);
  if (runningHost_) runningHost_->setTaskRunning(false);
  const int result = dialog.exec();
  // The box is only asked for while Alter Bounding Box runs.
  if (runningHost_) runningHost_->setTaskRunning(true);
  if (result != QDialog::Accepted) return BoxAnswer::Cancel;
  data = dialog.data();
  return dialog.answer();
}

bool CEpsDialogs::cropMarkSettings(CropDialogData& data) {
  CCropMarkSettingsDlg dialog(host_, parent_);
  dialog.setData(data);
  if (dialog.exec() != QDialog::Accepted) return false;
  data = dialog.data();
  return true;
}

} // namespace velmora::gui
