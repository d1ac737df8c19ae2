#pragma once

#include <QDialog>
#include <string>

#include "base/Host.h"
#include "edit/MacroFiles.h"
#include "edit/StepEditing.h"
#include "edit/StepSyntax.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velmora::gui {

// What the macro editor hands the step editor.
struct StepEditorRequest {
  std::string projectFolder;
  std::string settingsFolder; // where "Syntax..." finds SYNTAX.TXT
  std::string stepName;       // normalised, without extension
  bool create = false;        // "Create Step" with empty fields, else "Edit Step" with the step loaded
  bool extendedParameters = false;
};

// "Create Step" / "Edit Step": the five fields of a step, the keyword buttons,
// the search-and-replace fills and the syntax help. OK writes NAME.STP.
class CCreateStepDlg : public QDialog {
  Q_OBJECT
public:
  CCreateStepDlg(const StepEditorRequest& request, IHost& host, QWidget* parent = nullptr);

  // Runs the dialog; true when OK wrote the step file.
  bool run();
  // Whether an existing step file was read into the fields.
  bool loaded() const { return loaded_; }
  // The fields as they stand, as typed.
  StepData step() const;
  void setStep(const StepData& step);

  // OK: normalises and checks the fields; a fault is shown with the focus on
  // its field, else the step is written and the dialog closes.
  void accept() override;

private:
  void insertArgumentKeyword(StepKeyword keyword);
  void insertOperationKeyword(StepKeyword keyword);
  void setOperation(const CaretText& operation);
  void chooseAppendFile();
  void onFonts();
  void onText();
  void onSyntax();
  // "Test...": the checks of OK, then the step tried on a SCORE file in memory.
  void onTest();
  // The checks of OK on the fields; false after the message, focus on the field.
  bool checkedStep(StepData& step);
  QWidget* fieldFor(StepField field) const;

  StepEditorRequest request_;
  IHost& host_;
  CEditFiles files_;
  bool loaded_ = false;
  bool written_ = false;
  QLineEdit* codeNumbers_;
  QLineEdit* argument_;
  QLineEdit* operation_;
  QPlainTextEdit* description_;
  QCheckBox* notFound_;
};

} // namespace velmora::gui
