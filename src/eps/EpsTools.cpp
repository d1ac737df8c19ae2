#include "eps/EpsTools.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "base/FileSystem.h"
#include "base/Format.h"
#include "eps/BoxFile.h"
#include "eps/EpsFile.h"
#include "eps/Messages.h"

namespace velmora {

namespace {

constexpr const char* kEpsHeader = "%!PS-Adobe-2.0 EPSF-1.2";

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSeparator);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The eight marks, each starting at a corner of the crop box.
void appendCropProcedure(LineBuffer& out, const CropOptions& o, long long left, long long right, long long bottom,
                         long long top) {
  const long long length = o.markLength;
  const auto moveTo = [&](long long x, long long y) { out.add(strprintf("%lld %lld moveto", x, y)); };
  const auto across = [&](long long d) {
    out.add(strprintf("%lld 0 rlineto", d));
    out.add("stroke");
  };
  const auto upDown = [&](long long d) {
    out.add(strprintf("0 %lld rlineto", d));
    out.add("stroke");
  };
  out.add("/crops");
  out.add("{");
  out.add(strprintf("%f setlinewidth", static_cast<double>(o.markThickness)));
  moveTo(left - length, bottom);
  across(length);
  moveTo(left, bottom);
  upDown(-length);
  moveTo(right, bottom);
  across(length);
  moveTo(right, bottom);
  upDown(-length);
  moveTo(right, top);
  across(length);
  moveTo(right, top);
  upDown(length);
  moveTo(left - length, top);
  across(length);
  moveTo(left, top);
  upDown(length);
  out.add("} def");
  out.add("crops");
}

// Looks at another file without a word to the user; a cancel still counts.
class QuietHost final : public IHost {
public:
  explicit QuietHost(IHost& host) : host_(host) {}
  void showMessage(const std::string&) override {}
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  Pump pump() override { return host_.pump(); }
  int chooseFiles(FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}

private:
  IHost& host_;
};

// Anything at all under that name, a dangling link too.
bool pathTaken(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  return !error && status.type() != std::filesystem::file_type::not_found;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

} // namespace

int CEpsTools::refuse() {
  host_.showMessage(eps_msg::kNotScoreEps);
  return -1;
}

int CEpsTools::removeCropLines(const EpsText& input) {
  LineCursor cursor(host_, input);
  LineBuffer out(state_.epsLines, state_.epsCrlf, cursor);
  out.clear();
  std::string current;
  const int checked = scoreEpsCheck(host_, cursor, out, current);
  if (checked != 1) return checked;
  // A file that ends inside the marks is not one this program marked.
  const auto ended = [&] { return cursor.cancelled() ? 0 : refuse(); };

  const std::string* line = &current;
  while (line) {
    if (!contains(*line, "%%OldBoundingBox:")) {
      out.add(*line);
      line = cursor.next();
      continue;
    }
    out.add(boundingBoxLine(parseBoxNumbers(*line, 18)));
    while ((line = cursor.next()) && !contains(*line, "%%BoundingBox:"))
      out.add(*line);
    if (!line) return ended();
    do {
      if (!(line = cursor.next())) return ended();
      out.add(*line);
    } while (!contains(*line, " save"));
    line = cursor.next();
    if (line && contains(*line, "translate")) line = cursor.next();
    if (!line) break;
    if (contains(*line, "/crops")) {
      while ((line = cursor.next()) && *line != "crops") {
      }
      if (!line) return ended();
    } else {
      out.add(*line);
    }
    line = cursor.next();
  }
  return cursor.cancelled() ? 0 : 1;
}

int CEpsTools::addCropLines(const CropOptions& o, const EpsText& input) {
  LineCursor cursor(host_, input);
  LineBuffer out(state_.epsLines, state_.epsCrlf, cursor);
  out.clear();
  std::string current;
  const int checked = scoreEpsCheck(host_, cursor, out, current);
  if (checked != 1) return checked;
  const auto ended = [&] { return cursor.cancelled() ? 0 : refuse(); };

  const std::string* line = &current;
  while (!contains(*line, "%%Title:")) {
    out.add(*line);
    if (!(line = cursor.next())) return ended();
  }
  state_.scoreName = titleName(*line);
  out.add(*line);

  while ((line = cursor.next())) {
    if (!contains(*line, "%%BoundingBox:")) {
      out.add(*line);
      continue;
    }
    const BoxNumbers file = parseBoxNumbers(*line, 15);
    out.add(oldBoundingBoxLine(file));
    long long tx = 0, ty = 0;
    if (o.alignWithFileBox == 1) {
      // Centres the crop box on the file's own box; the halves truncate toward zero.
      const long long dx = (static_cast<long long>(o.boxX2) - o.boxX1) - (file.x2 - file.x1);
      tx = file.x1 - dx / 2 - o.boxX1;
      const long long dy = (static_cast<long long>(o.boxY2) - o.boxY1) - (file.y2 - file.y1);
      ty = file.y1 - dy / 2 - o.boxY1;
    }
    const long long left = o.boxX1 + tx, right = o.boxX2 + tx, bottom = o.boxY1 + ty, top = o.boxY2 + ty;
    const char* outOfRange = file.x1 < left     ? eps_msg::kBottomLeftX
                             : file.y1 < bottom ? eps_msg::kBottomLeftY
                             : file.x2 > right  ? eps_msg::kTopRightX
                             : file.y2 > top    ? eps_msg::kTopRightY
                                                : nullptr;
    if (outOfRange) {
      host_.showMessage(outOfRange);
      return -1;
    }
    out.add(boundingBoxLine({left + o.originX, bottom + o.originY, right + o.originX, top + o.originY}));
    do {
      if (!(line = cursor.next())) return ended();
      out.add(*line);
    } while (!contains(*line, " save"));
    if (o.originX != 0 || o.originY != 0) out.add(strprintf("%d %d translate", o.originX, o.originY));
    if (o.markLength > 0) appendCropProcedure(out, o, left, right, bottom, top);
  }
  return cursor.cancelled() ? 0 : 1;
}

int CEpsTools::addCropMarks(const CropOptions& options, const std::string& path) {
  state_.outputs.clear();
  EpsText input;
  if (readEpsFile(host_, path, input) != 1) return -1;
  // Earlier marks come off in memory first, so the file is written once or not at all.
  int result = removeCropLines(input);
  if (result != 1) return result;
  EpsText unmarked{std::move(state_.epsLines), std::move(state_.epsCrlf), input.finalTerminator};
  result = addCropLines(options, unmarked);
  if (result != 1) return result;
  result = writeLines(path, state_.epsLines, state_.epsCrlf, input.finalTerminator);
  if (result != 1) return result;
  note(input.lines.size() > unmarked.lines.size() ? "old crop marks replaced, crop marks and paper box added"
                                                  : "crop marks and paper box added");
  state_.outputs.push_back(options.renameToScoreName == 1 ? renameStep(path) : path);
  return 1;
}

int CEpsTools::removeCropMarks(const std::string& path) {
  state_.outputs.clear();
  EpsText input;
  if (readEpsFile(host_, path, input) != 1) return -1;
  const int result = removeCropLines(input);
  if (result != 1) return result;
  const size_t removed = input.lines.size() - std::min(input.lines.size(), state_.epsLines.size());
  note(removed > 0 ? strprintf("crop marks removed (%zu line(s))", removed) : std::string("no crop marks to remove"));
  const int written = writeLines(path, state_.epsLines, state_.epsCrlf, input.finalTerminator);
  if (written == 1) state_.outputs.push_back(path);
  return written;
}

std::string CEpsTools::renameStep(const std::string& path) {
  const std::string name = fileNamePart(state_.scoreName);
  if (name.empty()) {
    // ".EPS" alone would hide the file; it keeps its name and the log says why.
    batch_.log.replaceLast(batch_.currentLine + eps_msg::kNotRenamedNoName);
    return path;
  }
  const std::string newPath = folderOf(path) + name + ".EPS";
  state_.scoreName = newPath;
  // An existing file of that name, or an unusable name, leaves the old name; the row says which.
  if (newPath == path || sameFile(newPath, path)) {
    batch_.log.replaceLast(batch_.currentLine + strprintf(eps_msg::kAlreadyNamed, newPath.c_str()));
    note("keeps its name");
    return path;
  }
  std::string error;
  const bool renamed = batch_.dryRun() ? !pathTaken(newPath) : renameNoReplace(path, newPath, &error);
  if (renamed) {
    batch_.notifyRenaming(newPath);
    note("new name " + newPath);
    return newPath;
  }
  const std::string row = pathTaken(newPath) ? strprintf(eps_msg::kNotRenamedExists, newPath.c_str())
                                             : strprintf(eps_msg::kNotRenamedFailed, newPath.c_str(), error.c_str());
  batch_.log.replaceLast(batch_.currentLine + row);
  note(pathTaken(newPath) ? "keeps its name: " + newPath + " exists" : std::string("keeps its name"));
  return path;
}

std::string CEpsTools::pageNamingStep(const std::string& path, bool replacing, bool firstRow) {
  const std::string newPath = folderOf(path) + fileNamePart(state_.scoreName) + ".EPS";
  state_.scoreName = newPath;
  // One row per page file.
  const std::string row =
      batch_.currentLine + strprintf(replacing ? eps_msg::kReplacing : eps_msg::kSavingTo, newPath.c_str());
  if (firstRow)
    batch_.log.replaceLast(row);
  else
    batch_.log.appendAndFollow(row);
  return newPath;
}

int CEpsTools::renameToScoreFile(const std::string& path) {
  state_.outputs.clear();
  EpsText input;
  if (readEpsFile(host_, path, input) != 1) return -1;
  const int found = findScoreName(input);
  if (found != 1) return found;
  const std::string renamed = renameStep(path);
  if (renamed != path) state_.outputs.push_back(renamed);
  return 1;
}

int CEpsTools::findScoreName(const EpsText& input) {
  LineCursor cursor(host_, input);
  std::vector<std::string> headerLines;
  std::vector<bool> headerCrlf;
  LineBuffer header(headerLines, headerCrlf, cursor);
  std::string current;
  const int checked = scoreEpsCheck(host_, cursor, header, current);
  if (checked != 1) return checked;
  const std::string* line = &current;
  while (!contains(*line, "%%Title:")) {
    if (!(line = cursor.next())) return cursor.cancelled() ? 0 : refuse();
  }
  state_.scoreName = titleName(*line);
  return 1;
}

int CEpsTools::splitPages(const std::string& path) {
  state_.outputs.clear();
  EpsText input;
  if (readEpsFile(host_, path, input) != 1) return -1;
  std::vector<EpsPage> pages;
  const int split = splitPageLines(input, pages);
  if (split != 1) return split;
  if (pages.size() == 1) {
    const std::string renamed = renameStep(path);
    if (renamed != path) state_.outputs.push_back(renamed);
    return 1;
  }

  const std::string folder = folderOf(path);
  std::vector<std::string> targets;
  // A set beside the list keeps a file of many pages from taking quadratic time.
  std::unordered_set<std::string> taken;
  for (const EpsPage& page : pages) {
    const std::string name = fileNamePart(page.name);
    if (name.empty()) {
      host_.showMessage(strprintf(eps_msg::kPageWithoutName, path.c_str()));
      return -1;
    }
    std::string target = folder + name + ".EPS";
    if (!taken.insert(target).second) {
      host_.showMessage(strprintf(eps_msg::kSamePageName, path.c_str(), target.c_str()));
      return -1;
    }
    targets.push_back(std::move(target));
  }
  // Every page file that would replace a file is checked before any page is written.
  std::vector<bool> isInput(pages.size()), replacing(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    isInput[i] = targets[i] == path || sameFile(targets[i], path);
    replacing[i] = pathTaken(targets[i]);
    if (!replacing[i] || isInput[i]) continue;
    const int allowed = mayReplaceWithPage(targets[i], pages[i].name);
    if (allowed == 0) return 0;
    if (allowed < 0) {
      host_.showMessage(strprintf(allowed == -2 ? eps_msg::kPageFileListed : eps_msg::kPageFileTaken, path.c_str(),
                                  targets[i].c_str()));
      return -1;
    }
  }
  // A page that takes the input's own name is written last, once the others are safe.
  std::vector<size_t> order(pages.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_partition(order.begin(), order.end(), [&](size_t i) { return !isInput[i]; });
  bool firstRow = true;
  for (size_t i : order) {
    state_.scoreName = pages[i].name;
    const std::string target = pageNamingStep(path, replacing[i], firstRow);
    firstRow = false;
    // Only the last page ends where the input does.
    const bool finalTerminator = i + 1 < pages.size() || input.finalTerminator;
    const int written = writeLines(target, pages[i].lines, pages[i].crlf, finalTerminator);
    if (written != 1) return written;
    state_.outputs.push_back(target);
  }
  note(strprintf("split into %zu pages", pages.size()));
  return 1;
}

int CEpsTools::mayReplaceWithPage(const std::string& target, const std::string& pageName) {
  // A file of the batch may still be waiting to be split itself.
  for (const std::string& listed : batch_.fileList)
    if (listed == target || sameFile(listed, target)) return -2;
  // Otherwise only an earlier split of the same page: one page, the same title.
  QuietHost quiet(host_);
  EpsText existing;
  if (readEpsFile(quiet, target, existing) != 1) return -1;
  EpsState scratch;
  std::vector<EpsPage> pages;
  const int split = CEpsTools(quiet, scratch, batch_).splitPageLines(existing, pages);
  if (split != 1) return split;
  return pages.size() == 1 && pages.front().name == pageName ? 1 : -1;
}

int CEpsTools::splitPageLines(const EpsText& input, std::vector<EpsPage>& pages) {
  pages.clear();
  LineCursor cursor(host_, input);
  LineBuffer out(state_.epsLines, state_.epsCrlf, cursor);
  out.clear();
  std::string current;
  const int checked = scoreEpsCheck(host_, cursor, out, current);
  if (checked != 1) return checked;
  const auto ended = [&] { return cursor.cancelled() ? 0 : refuse(); };

  const std::string* line = &current;
  while (!contains(*line, "%%Title:")) {
    out.add(*line);
    if (!(line = cursor.next())) return ended();
  }
  state_.scoreName = titleName(*line);
  out.add(*line);

  // Every page is collected before any file is written, so no page can
  // overwrite input that has not been read yet.
  while ((line = cursor.next())) {
    if (contains(*line, "%!PS-Adobe-2.0")) {
      pages.push_back({state_.scoreName, std::move(state_.epsLines), std::move(state_.epsCrlf)});
      out.clear();
      out.add(*line);
      do {
        if (!(line = cursor.next())) return ended();
        out.add(*line);
      } while (!contains(*line, "%%Title:"));
      state_.scoreName = titleName(*line);
    } else if (!contains(*line, "%%Page:") && !contains(*line, "%%Pages:")) {
      out.add(*line);
    }
  }
  if (cursor.cancelled()) return 0;
  pages.push_back({state_.scoreName, std::move(state_.epsLines), std::move(state_.epsCrlf)});
  out.clear();
  return 1;
}

int CEpsTools::alterBoundingBox(IEpsDialogs& dialogs, const std::string& projectFolder, const std::string& path) {
  state_.outputs.clear();
  EpsText input;
  if (readEpsFile(host_, path, input) != 1) return -1;
  const int altered = alterBoxLines(dialogs, projectFolder, input);
  if (altered != 1) return altered;
  note(state_.epsLines == input.lines ? "bounding box unchanged" : "bounding box altered");
  const int written = writeLines(path, state_.epsLines, state_.epsCrlf, input.finalTerminator);
  if (written == 1) state_.outputs.push_back(path);
  return written;
}

int CEpsTools::alterBoxLines(IEpsDialogs& dialogs, const std::string& projectFolder, const EpsText& input) {
  LineCursor cursor(host_, input);
  LineBuffer out(state_.epsLines, state_.epsCrlf, cursor);
  out.clear();
  std::string current;
  const int checked = scoreEpsCheck(host_, cursor, out, current);
  if (checked != 1) return checked;

  for (const std::string* line = &current; line; line = cursor.next()) {
    if (!contains(*line, "%%BoundingBox:")) {
      out.add(*line);
      continue;
    }
    const BoxNumbers box = parseBoxNumbers(*line, 15);
    BoxExpressions shown;
    if (state_.askBoxPerFile == 1) {
      BoxDialogData data;
      data.fields = {std::to_string(box.x1), std::to_string(box.y1), std::to_string(box.x2), std::to_string(box.y2)};
      data.folder = projectFolder;
      shown = data.fields;
      const BoxAnswer answer = dialogs.alterBoundingBox(data);
      if (answer == BoxAnswer::Cancel) return 0;
      if (answer == BoxAnswer::OkToAll) state_.askBoxPerFile = 0;
      state_.boxExpressions = data.fields;
    }
    // A field left as the dialog showed it keeps its value: "-47" shown for -47 is no subtraction.
    const auto coordinate = [](const std::string& expression, const std::string& asShown, long long value) {
      return expression == asShown ? value : evaluateCoordinate(expression, value);
    };
    const BoxExpressions& e = state_.boxExpressions;
    out.add(boundingBoxLine({coordinate(e.x1, shown.x1, box.x1), coordinate(e.y1, shown.y1, box.y1),
                             coordinate(e.x2, shown.x2, box.x2), coordinate(e.y2, shown.y2, box.y2)}));
  }
  return cursor.cancelled() ? 0 : 1;
}

int CEpsTools::listTextFonts(const std::string& path) {
  state_.outputs.clear();
  EpsText input;
  if (readEpsFile(host_, path, input) != 1) return -1;
  const size_t known = state_.fontList.size();
  const int result = listFontLines(input);
  if (result == 1) note(strprintf("%zu new font name(s)", state_.fontList.size() - known));
  return result;
}

int CEpsTools::listFontLines(const EpsText& input) {
  LineCursor cursor(host_, input);
  const std::string* line = cursor.next();
  if (!line && cursor.cancelled()) return 0;
  if (!line || *line != kEpsHeader) {
    host_.showMessage(eps_msg::kNotScore34Eps);
    return -1;
  }
  while ((line = cursor.next()) && !contains(*line, "%%Trailer")) {
  }
  if (!line) return cursor.cancelled() ? 0 : refuse();

  // A set beside the list keeps a trailer of many lines from taking quadratic time.
  std::unordered_set<std::string> known(state_.fontList.begin(), state_.fontList.end());
  while ((line = cursor.next())) {
    const size_t blank = line->find(' ');
    const std::string rest = blank == std::string::npos ? *line : line->substr(blank + 1);
    std::string name = rest.substr(0, rest.find(' '));
    if (known.insert(name).second) state_.fontList.push_back(std::move(name));
  }
  return cursor.cancelled() ? 0 : 1;
}

int CEpsTools::writeLines(const std::string& path, const std::vector<std::string>& lines, const std::vector<bool>& crlf,
                          bool finalTerminator) {
  if (batch_.dryRun()) return 1;
  return writeEpsLines(host_, path, lines, crlf, finalTerminator);
}

void CEpsTools::note(std::string sentence) {
  if (batch_.run) batch_.run->note(std::move(sentence));
}

std::string CEpsTools::writeFontList(const std::string& projectFolder) {
  const std::string path = resolveCaseInsensitive(withTrailingSeparator(projectFolder), kFontListName);
  std::string text = std::string(kFontListHeading) + "\n\n";
  for (const std::string& name : state_.fontList)
    text += name + "\n";
  if (writeTextFile(host_, path, text) != 1) return {};
  return path;
}

} // namespace velmora
