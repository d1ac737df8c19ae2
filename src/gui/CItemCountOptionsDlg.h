#pragma once

#include <QDialog>

#include "count/ItemCount.h"

class QCheckBox;

namespace velmora::gui {

// "Item Count Settings"
class CItemCountOptionsDlg : public QDialog, public IItemCountDialogs {
  Q_OBJECT
public:
  explicit CItemCountOptionsDlg(QWidget* parent);
  bool editItemCountOptions(ItemCountOptions& options) override;

private:
  QCheckBox* skipBlankStaves_;
};

} // namespace velmora::gui
