#pragma once

#include <QDialog>
#include <array>

#include "base/Host.h"
#include "beams/BeamAnglesEditor.h"
#include "beams/BeamDialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora::gui {

// "Set Beam Angles": widgets wired to BeamAnglesEditor, which holds the rules.
class CBeamAnglesDlg : public QDialog {
  Q_OBJECT
public:
  CBeamAnglesDlg(IHost& host, IBeamDialogs& dialogs, const BeamLibraryRequest& request, QWidget* parent = nullptr);

  // Runs the dialog; true for OK. Fills in the library shown and the files written.
  bool run(BeamLibraryRequest& request);

  void accept() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void showEditor();
  void showFields();
  void onRowClicked(int row);
  void onAdd();
  void onRemove();
  void onClear();
  void onDirection(int index);
  void onReadOnly(bool on);
  // False when the field's text was refused; focus has gone back to it.
  bool leaveField(int field);

  BeamAnglesEditor editor_;
  IBeamDialogs& dialogs_;
  QListWidget* rows_;
  std::array<QLineEdit*, kBeamFieldCount> fields_{};
  QPushButton* add_;
  QPushButton* remove_;
  QPushButton* clear_;
  QComboBox* direction_;
  QCheckBox* readOnly_;
  QLabel* count_;
  bool updating_ = false;
  bool checking_ = false;
  // The field whose text was last refused, or -1.
  int refused_ = -1;
};

} // namespace velmora::gui
