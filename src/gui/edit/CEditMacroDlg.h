#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "base/Host.h"
#include "edit/EditRun.h"
#include "edit/MacroFiles.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace velmora::gui {

// "Create Macro" / "Edit Macro": the macro's steps picked from the project
// folder's steps, and the step operations of the project folder.
class CEditMacroDlg : public QDialog {
  Q_OBJECT
public:
  // Opens the step editor for a name; `create` for a new step. True when it wrote the step.
  using StepEditor = std::function<bool(const std::string& name, bool create)>;

  CEditMacroDlg(const MacroEditRequest& request, IHost& host, QWidget* parent = nullptr);
  void setStepEditor(StepEditor editor) { stepEditor_ = std::move(editor); }

  // Reads the macro for "Edit Macro"; false when it cannot be read.
  bool load();
  // load(), then the dialog; true when "OK" wrote the macro.
  bool run();
  // Writes the macro as the dialog holds it; false (with the message shown) on failure.
  bool save();
  MacroData macro() const;
  bool dragging() const { return dragging_; }

protected:
  enum class Form { Plain, Dragging };
  CEditMacroDlg(const MacroEditRequest& request, IHost& host, QWidget* parent, Form form);
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void build();
  void fillSteps(const std::vector<std::string>& select);
  void setMacroSteps(const std::vector<std::string>& steps);
  std::vector<std::string> macroSteps() const;
  // The distinct names selected in the list used last.
  std::vector<std::string> targets() const;
  void showStep(const QListWidgetItem* item);
  void refreshStepDescription();
  void updateButtons();
  void moveCurrent(int by);

  void onAdd();
  void onRemove();
  void onNewStep();
  void onEditStep();
  void onDuplicateStep();
  void onRenameStep();
  void onDeleteStep();
  void onAppendMacro();
  void onOk();

  MacroEditRequest request_;
  CEditFiles files_;
  bool dragging_;
  StepEditor stepEditor_;
  std::string storedDescription_;
  std::string shownStep_;
  QListWidget* active_ = nullptr;

  QLabel* name_ = nullptr;
  QListWidget* steps_ = nullptr;
  QListWidget* macroSteps_ = nullptr;
  QPlainTextEdit* macroDescription_ = nullptr;
  QPlainTextEdit* stepDescription_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* newStep_ = nullptr;
  QPushButton* editStep_ = nullptr;
  QPushButton* duplicateStep_ = nullptr;
  QPushButton* renameStep_ = nullptr;
  QPushButton* deleteStep_ = nullptr;
  QPushButton* appendMacro_ = nullptr;
  QPushButton* ok_ = nullptr;
};

} // namespace velmora::gui
