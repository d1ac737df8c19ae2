#pragma once

#include <string>
#include <vector>

namespace velmora {

// The four fields of the "Alter Bounding Box" dialog, each a coordinate
// expression ("+20", "*2", "612") or the file's value as decimal text.
struct BoxExpressions {
  std::string x1; // "Bottom left horizontal coordinate"
  std::string y1; // "Bottom left vertical coordinate"
  std::string x2; // "Top right horizontal coordinate"
  std::string y2; // "Top right vertical coordinate"

  bool operator==(const BoxExpressions&) const = default;
};

// The working state of the EPS tools, owned by the document.
struct EpsState {
  // The output file being built, one entry per line without its terminator.
  std::vector<std::string> epsLines;
  // Per entry of epsLines: written with CR LF rather than LF.
  std::vector<bool> epsCrlf;
  // The SCORE file name from the "%%Title:" line; after a rename, the new path.
  std::string scoreName;
  // Distinct names from the trailers of one List text fonts batch.
  std::vector<std::string> fontList;
  // The last expressions confirmed in "Alter Bounding Box".
  BoxExpressions boxExpressions;
  // 0 once "OK to All" was chosen; lasts for the program run.
  int askBoxPerFile = 1;
  // The files the last per-file routine wrote or renamed to, in order, under
  // the names they have now.
  std::vector<std::string> outputs;
};

} // namespace velmora
