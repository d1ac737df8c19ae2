#pragma once

#include "settings/Records.h"

namespace velmora {

// "Extension to use for run files" takes at most this many characters, stored as typed.
inline constexpr int kRunExtensionMaxLength = 3;

// The "Run Multiple Tasks" dialog; the GUI, the CLI and the tests implement it.
class IRunDialogs {
public:
  virtual ~IRunDialogs() = default;
  // True for OK, with the options as the dialog left them.
  virtual bool editRunOptions(RunOptions& options) = 0;
};

} // namespace velmora
