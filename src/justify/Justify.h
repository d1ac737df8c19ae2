#pragma once

#include <string>

#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "model/CItemStore.h"
#include "model/ScoreHandover.h"
#include "settings/Records.h"

namespace velmora {


// What the "Prompt before Operation" window shows before a correction.
struct JustifyPrompt {
  std::string title;      // "Prompt before Operation"
  std::string text;       // "Conditions are TRUE for the following item in file PATH"
  std::string parameters; // the later note's parameters from P1, each as "%.4f "
  std::string question;   // "Do you wish to perform the operation?"
  std::string filePath;   // the file "Open Score file" opens
};

// The windows of Justify; the GUI, the CLI and the tests implement them.
class IJustifyDialogs {
public:
  virtual ~IJustifyDialogs() = default;
  virtual PromptAnswer promptBeforeOperation(const JustifyPrompt& prompt) = 0;
  // "Justify Settings" on a copy of the record; true for OK.
  virtual bool editJustifySettings(JustifyOptions& options) = 0;
};

// One Justify run over a file list. The options are read per file, so a
// reload before the first file takes effect.
struct JustifyRun {
  IHost& host;
  IJustifyDialogs& dialogs;
  const JustifyOptions& options;
  CBatchState& batch; // gets the not-enough-space lines
  // Starts as the option; "Yes To All" clears it for the rest of the run only.
  bool prompt = false;
};

inline constexpr int kMaxJustifyPasses = 100;

// The staves moved together, with the limits of their first stave.
struct JustifyGroup {
  int first = 1; // stave number
  int size = 1;
  double left = 230.0;
  double right = 200.0;
  double staveSize = 1.0;
  int last() const { return first + size - 1; }
};

// Limits, stave size and group size found on stave k (1..250).
JustifyGroup openJustifyGroup(const CItemStore& store, int stave, const JustifyOptions& options);

// How far note o reaches to the right, and note m to the left, at stave size s.
double rightEdge(const CItem& o, double s, const JustifyOptions& options);
double leftEdge(const CItem& m, double s, const JustifyOptions& options);

// Justifies staves 1 to 250 in memory. 1 done, 0 cancelled (pump or prompt).
int justifyStore(JustifyRun& run, CItemStore& store, const std::string& path);

// The per-file routine: read, justify, write under the extension. 1 written,
// 0 refused, cancelled or not written, -1 cannot be opened. The store is
// empty afterwards.
int justifyFile(JustifyRun& run, CItemStore& store, const std::string& path, const std::string& extension);
// The same from and to files or a chain's hand-over.
int justifyFile(JustifyRun& run, CItemStore& store, const ScoreIO& io);

} // namespace velmora
