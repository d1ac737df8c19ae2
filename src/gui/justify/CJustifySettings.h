#pragma once

#include <QDialog>

#include "base/Host.h"
#include "justify/JustifySettings.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace velmora::gui {

// "Justify Settings": every JustifyOptions field, the widths sub-dialog and
// .jdt files.
class CJustifySettings : public QDialog {
  Q_OBJECT
public:
  explicit CJustifySettings(IHost& host, QWidget* parent = nullptr);

  // Runs the dialog; on OK the options are replaced and true is returned.
  bool edit(JustifyOptions& options);

  void setOptions(const JustifyOptions& options);
  // False when a number field holds no number; the other fields are still read.
  bool readOptions(JustifyOptions& options) const;

  void accept() override;

protected:
  // The .jdt file dialog; empty when cancelled.
  virtual QString chooseJdtFile(bool forSaving);
  // The widths sub-dialog; true for OK.
  virtual bool editWidths(JustifyWidthValues& values);

private:
  bool readChecked(JustifyOptions& options);
  void openWidths();
  void loadFile();
  void saveFile();

  IHost& host_;
  JustifyOptions shown_;
  JustifyWidthValues widths_{};
  QCheckBox* prompt_;
  QLineEdit* extension_;
  QCheckBox* stretched_;
  QLineEdit* minimumSpace_;
  QLineEdit* extraFirst_;
  QLineEdit* extraTie_;
  QSpinBox* barlineType_;
};

} // namespace velmora::gui
