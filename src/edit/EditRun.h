#pragma once

#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "edit/CandidateSets.h"
#include "edit/MacroFiles.h"
#include "model/CItemStore.h"
#include "model/ScoreHandover.h"
#include "settings/Records.h"
#include "settings/Settings.h"

namespace velmora {

// "Select a Macro": what the dialog starts from.
struct SelectMacroRequest {
  std::string projectFolder;
  std::string settingsFolder;
  std::vector<std::string> macros; // the project folder's macros, sorted
  std::string preselected;         // the last macro, or the first one
  bool limitNameLength = false;
  bool allowDragging = false;
};

// The macro editor, "Create Macro" or "Edit Macro": which macro and the options it follows.
struct MacroEditRequest {
  std::string projectFolder;
  std::string settingsFolder;
  std::string name;
  bool create = false; // "Create Macro": starts empty instead of reading the file
  bool limitNameLength = false;
  bool allowDragging = false;
};

// "Prompt before Operation": what the dialog shows.
struct EditPrompt {
  std::string inputPath;  // the file "Open Score file" opens
  std::string itemLine;   // "Conditions are TRUE for the following item in file %s"
  std::string parameters; // "%.4f " per parameter, text from P14 for a code-16 match
};

// The dialogs the edit run needs; the GUI, the CLI and the tests implement them.
class IEditDialogs {
public:
  virtual ~IEditDialogs() = default;
  // True with the chosen macro's name, false for Cancel.
  virtual bool selectMacro(const SelectMacroRequest& request, std::string& chosen) = 0;
  virtual PromptAnswer promptBeforeOperation(const EditPrompt& prompt) = 0;
};

// The Edit Settings dialog; true for OK with the edited options.
class IEditSettingsDialog {
public:
  virtual ~IEditSettingsDialog() = default;
  virtual bool editEditSettings(EditOptions& options) = 0;
};

// Shows "Select a Macro" with the preselection of the Edit settings; the
// chosen name becomes the last macro. False when the user cancelled.
bool chooseMacro(IEditDialogs& dialogs, const CSettings& settings, IHost& host, std::string& lastMacro);

// The prompt's parameter line: each parameter as "%.4f ", or for a code-16
// match the parameters up to P13 and then the item's text.
std::string promptParameters(const CItem& item, bool textMatch);

// The pieces of the document an edit run works on.
struct EditRunContext {
  IHost& host;
  IEditDialogs& dialogs;
  CItemStore& store;
  CCandidateSets& candidates;
  // "Yes To All" clears promptBeforeOperation here, until edi.dat is re-read.
  EditOptions& options;
  std::string projectFolder;
  // Receives the ", step NAME" progress notification.
  CBatchState& batch;
};

// The edit run of one macro over SCORE files.
class CEditRun {
public:
  explicit CEditRun(EditRunContext context) : ctx_(context) {}

  // The per-file routine: 1 processed, 0 stopped (cancel, refusal, missing
  // macro or step, write failure), -1 input not openable.
  int editFile(const std::string& macroName, const std::string& inputPath, const std::string& extension);
  // The same from and to files or a chain's hand-over.
  int editFile(const std::string& macroName, const ScoreIO& io);
  // One step over the whole store, its file read from the project folder: 1 or 0.
  int runStep(const std::string& stepName, const std::string& inputPath, bool& modified);
  // The same for a step already read.
  int runStep(const StepData& step, const std::string& inputPath, bool& modified);

  const std::string& currentStep() const { return currentStep_; }
  // Where runStep counts what it matches and changes (a step tried on its own).
  void recordStep(StepChanges* record) { stepRecord_ = record; }

  // COMP results are shared between items once their source has this many
  // items; SIZE_MAX turns the sharing off (tests compare both ways).
  void setCompCacheMinSource(size_t items) { compCacheMinSource_ = items; }

private:
  EditRunContext ctx_;
  size_t compCacheMinSource_ = kCompCacheMinSource;
  std::string currentStep_;
  std::string outputPath_;
  // The running step's counts when the batch records changes.
  StepChanges* stepRecord_ = nullptr;
  CChangeTracker* tracker_ = nullptr;
};

} // namespace velmora
