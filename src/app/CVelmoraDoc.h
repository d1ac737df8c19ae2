#pragma once

#include <string>
#include <string_view>

#include "base/Host.h"
#include "beams/BeamLibrary.h"
#include "beams/BeamTask.h"
#include "eps/EpsState.h"
#include "edit/CandidateSets.h"
#include "model/CItemStore.h"
#include "settings/Settings.h"
#include "staves/Optimize.h"
#include "staves/Unoptimize.h"

namespace velmora {

// The document: every settings record and the item store of the file being
// processed. Tasks take the pieces they need by reference.
class CVelmoraDoc {
public:
  CSettings settings{std::string()};
  CItemStore store;
  // Optimize's instrument list and keep-listed flag, for one batch.
  COptimizeBatch optimizeBatch;
  // The Unoptimize template, from the template load to the end of the batch.
  CUnoptimizeTemplate unoptimizeTemplate;
  // The EPS tools' line buffer, names and "OK to All" state.
  EpsState eps;
  // The eight beam-angle libraries of a Set Beam Angles run, and its beam groups.
  CBeamLibraries beamLibraries;
  CBeamGroups beamGroups;
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
  // The same, emptying the beam groups first, as the beam task does.
  void clearStore(bool clearBeamWork);
};

} // namespace velmora
