#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "base/Host.h"
#include "edit/EditRun.h"
#include "edit/MacroFiles.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace velmora::gui {

// "Select a Macro": the project folder's macros and the operations on them.
class CSelectMacroDlg : public QDialog {
  Q_OBJECT
public:
  // Opens the macro editor for a name; `create` for a new macro. True when it wrote the macro.
  using MacroEditor = std::function<bool(const std::string& name, bool create)>;

  CSelectMacroDlg(const SelectMacroRequest& request, IHost& host, QWidget* parent = nullptr);
  void setMacroEditor(MacroEditor editor) { editor_ = std::move(editor); }

  // True for OK with the macro that has the focus.
  bool choose(std::string& chosen);
  std::string chosen() const;

private:
  // Lists the folder again, then selects `select` or the first macro.
  void rebuild(const std::string& select);
  void fill(const std::string& select);
  void updateButtons();
  std::vector<std::string> selectedNames() const;
  void onNew();
  void onEdit();
  void onDuplicate();
  void onRename();
  void onDelete();

  SelectMacroRequest request_;
  CEditFiles files_;
  MacroEditor editor_;
  QListWidget* macros_;
  QPlainTextEdit* description_;
  QPushButton* new_;
  QPushButton* edit_;
  QPushButton* duplicate_;
  QPushButton* rename_;
  QPushButton* delete_;
  QPushButton* ok_;
};

} // namespace velmora::gui
