#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "model/CItemStore.h"
#include "settings/Records.h"

namespace velmora {

// "Select instrument numbers": the typed numbers and the keep-listed box.
struct InstrumentChoice {
  std::string numbers;
  bool keepListed = false;
};

// "Select Staves": checked[s - 1] is the box "Staff s".
struct StaveSelection {
  std::string title;
  std::array<bool, kMaxStave> checked{};
};

enum class StaveDialogResult { Ok, OkToAll, Cancel };

// "Choose Template for Unoptimization": a file-open dialog; `path` is the answer.
struct TemplateChoice {
  std::string title;
  std::string defaultExtension;
  std::string initialName;
  // (label, pattern) pairs in the order offered.
  std::vector<std::pair<std::string, std::string>> filters;
  // The filter shown first; the one matching the initial name.
  size_t selectedFilter = 0;
  std::string path;
};

// The dialogs Optimize and Unoptimize show while they run.
class IStaveDialogs {
public:
  virtual ~IStaveDialogs() = default;
  // False for Cancel.
  virtual bool selectInstrumentNumbers(InstrumentChoice& choice) = 0;
  // The boxes are changed only on "OK" and "OK to All".
  virtual StaveDialogResult selectStaves(StaveSelection& selection) = 0;
  // False for Cancel.
  virtual bool chooseTemplate(TemplateChoice& choice) = 0;
};

// "Optimize Settings" and "Unoptimize Settings"; true for OK.
class IStaveSettingsDialogs {
public:
  virtual ~IStaveSettingsDialogs() = default;
  virtual bool editOptimizeOptions(OptimizeOptions& options) = 0;
  virtual bool editUnoptimizeOptions(UnoptimizeOptions& options) = 0;
};

// The selection the stave dialog opens with: box s checked when flag[s] = 0.
StaveSelection staveSelectionFor(const CItemStore& store, const char* title);
// The flags after "OK": unchecked boxes keep (or mark present) their stave.
void applyStaveSelection(const StaveSelection& selection, CItemStore& store);

// The request for the template's file dialog.
TemplateChoice templateChoiceRequest();

} // namespace velmora
