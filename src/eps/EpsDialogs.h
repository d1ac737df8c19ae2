#pragma once

#include <string>

#include "eps/EpsState.h"
#include "settings/Records.h"

namespace velmora {

enum class BoxAnswer { Ok, OkToAll, Cancel };

// "Alter Bounding Box": in, the file's values as decimal text; out, the
// confirmed expressions.
struct BoxDialogData {
  BoxExpressions fields;
  std::string folder; // where "Load..." and "Save As..." start: the project folder
};

// "Crop Mark Settings".
struct CropDialogData {
  CropOptions options;
  std::string folder; // where "Load..." and "Save As..." start: the settings folder
};

// The dialogs of the EPS tools; the GUI, the CLI and tests implement them.
class IEpsDialogs {
public:
  virtual ~IEpsDialogs() = default;
  virtual BoxAnswer alterBoundingBox(BoxDialogData& data) = 0;
  // True for OK.
  virtual bool cropMarkSettings(CropDialogData& data) = 0;
};

} // namespace velmora
