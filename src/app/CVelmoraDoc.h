#pragma once

#include <string>
#include <string_view>

#include "base/Host.h"
#include "edit/CandidateSets.h"
#include "model/CItemStore.h"
#include "settings/Settings.h"

namespace velmora {

// The document: every settings record and the item store of the file being
// processed. Tasks take the pieces they need by reference.
class CVelmoraDoc {
public:
  CSettings settings{std::string()};
  CItemStore store;
  // The COMP candidate sets of the condition evaluator; they point into the store.
  CCandidateSets candidates;
  // The macro chosen last in "Select a Macro", for as long as the program runs.
  std::string lastMacro;

  // Fixes the settings folder (the command line, when not empty, names it)
  // and loads the settings. False when there is no settings folder; the
  // message has been shown and the program cannot go on.
  bool create(IHost& host, std::string_view commandLine);
  // The two halves of create().
  bool locateSettingsFolder(IHost& host, std::string_view commandLine);
  void loadSettings(IHost& host);

  // Empties the item store after a file, and the candidate sets with it.
  void clearStore();
};

} // namespace velmora
