#pragma once

#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "eps/EpsDialogs.h"
#include "eps/EpsFile.h"
#include "eps/EpsState.h"
#include "settings/Records.h"

namespace velmora {

inline constexpr const char* kFontListName = "FONTLIST.TXT";
inline constexpr const char* kFontListHeading = "TEXT FONTS REQUIRED IN SELECTED EPS FILES";

// One page of a split: the name from its title, its lines and their terminators.
struct EpsPage {
  std::string name;
  std::vector<std::string> lines;
  std::vector<bool> crlf;
};

// The per-file routines of the PostScript actions. Each returns 1 (done),
// 0 (cancelled, nothing changed) or -1 (the message has been shown, the file
// untouched), and leaves the files it wrote or renamed to in `outputs`.
// Rewrites go through a temporary file and keep the input's line terminators;
// a rename never replaces an existing file.
class CEpsTools {
public:
  CEpsTools(IHost& host, EpsState& state, CBatchState& batch) : host_(host), state_(state), batch_(batch) {}

  // Removes earlier marks, then adds marks and the paper's bounding box.
  int addCropMarks(const CropOptions& options, const std::string& path);
  int removeCropMarks(const std::string& path);
  int renameToScoreFile(const std::string& path);
  // One file per page, named from each page's title; a one-page file is renamed.
  int splitPages(const std::string& path);
  // Asks for the box while `askBoxPerFile` is 1; the dialogs start in `projectFolder`.
  int alterBoundingBox(IEpsDialogs& dialogs, const std::string& projectFolder, const std::string& path);
  // Adds the names in the file's trailer to `fontList`.
  int listTextFonts(const std::string& path);

  // After a List text fonts batch: FONTLIST.TXT in the project folder. Its
  // path, or "" after the message.
  std::string writeFontList(const std::string& projectFolder);

  // The line scans on their own, from input lines into `epsLines` and
  // `epsCrlf`: 1, 0 on cancel, -1 after the message.
  int removeCropLines(const EpsText& input);
  int addCropLines(const CropOptions& options, const EpsText& input);
  // The title into `scoreName`.
  int findScoreName(const EpsText& input);
  // The pages in input order; a file without a second page gives one.
  int splitPageLines(const EpsText& input, std::vector<EpsPage>& pages);
  int alterBoxLines(IEpsDialogs& dialogs, const std::string& projectFolder, const EpsText& input);
  // The names in the trailer, added to `fontList`.
  int listFontLines(const EpsText& input);

private:
  // The file's name afterwards: the new one, or `path` when it was not renamed.
  std::string renameStep(const std::string& path);
  // Extends the progress line for the first page file, adds a row for each later one.
  std::string pageNamingStep(const std::string& path, bool replacing, bool firstRow);
  // Whether an existing `target` may take the page titled `pageName`: 1 yes,
  // 0 cancelled, -1 not an earlier split of that page, -2 in the batch's file list.
  int mayReplaceWithPage(const std::string& target, const std::string& pageName);
  int refuse();
  // The rewrite, skipped by a dry run.
  int writeLines(const std::string& path, const std::vector<std::string>& lines, const std::vector<bool>& crlf,
                 bool finalTerminator);
  // What the file's record says changed.
  void note(std::string sentence);

  IHost& host_;
  EpsState& state_;
  CBatchState& batch_;
};

} // namespace velmora
