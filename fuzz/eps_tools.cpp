// Each EPS tool over arbitrary text: the line split joins back to the input,
// every tool ends with 1, 0 or -1, crop marks added come off again, and page
// and file names never leave the folder.
#include "FuzzHost.h"
#include "eps/BoxFile.h"
#include "eps/EpsFile.h"
#include "eps/EpsTools.h"

using namespace velmora;

namespace {

struct OkDialogs : IEpsDialogs {
  BoxAnswer alterBoundingBox(BoxDialogData& data) override {
    data.fields = fields;
    return BoxAnswer::Ok;
  }
  bool cropMarkSettings(CropDialogData&) override { return true; }
  BoxExpressions fields{"+20", "-3", "*2", "/0"};
};

bool oneOf(int result) { return result == 1 || result == 0 || result == -1; }

bool plainName(const std::string& name) { return name.find('/') == std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const EpsText text = splitEpsText(bytes);
  // Each line keeps its own terminator, so the split is exact.
  fuzz::check(text.crlf.size() == text.lines.size());
  fuzz::check(joinEpsText(text.lines, text.crlf, text.finalTerminator) ==
              std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string>& lines = text.lines;
  fuzz::FuzzHost host;
  EpsState state;
  CBatchState batch;
  CEpsTools tools(host, state, batch);

  const int removed = tools.removeCropLines(text);
  fuzz::check(oneOf(removed));
  if (removed == 1) {
    const EpsText unmarked{state.epsLines, state.epsCrlf, text.finalTerminator};
    CropOptions options;
    options.markLength = 20;
    const int added = tools.addCropLines(options, unmarked);
    fuzz::check(oneOf(added));
    if (added == 1) {
      fuzz::check(plainName(fileNamePart(state.scoreName)));
      const EpsText marked{state.epsLines, state.epsCrlf, text.finalTerminator};
      fuzz::check(marked.lines.size() >= unmarked.lines.size());
      fuzz::check(marked.crlf.size() == marked.lines.size());
      fuzz::check(oneOf(tools.removeCropLines(marked)));
    }
  }

  if (tools.findScoreName(text) == 1) fuzz::check(plainName(fileNamePart(state.scoreName)));

  std::vector<EpsPage> pages;
  const int split = tools.splitPageLines(text, pages);
  fuzz::check(oneOf(split));
  if (split == 1) {
    fuzz::check(!pages.empty());
    size_t total = 0;
    for (const EpsPage& page : pages) {
      fuzz::check(plainName(fileNamePart(page.name)));
      fuzz::check(page.crlf.size() == page.lines.size());
      total += page.lines.size();
    }
    fuzz::check(total <= lines.size());
  }

  OkDialogs dialogs;
  const int altered = tools.alterBoxLines(dialogs, "/nonexistent/", text);
  fuzz::check(oneOf(altered));
  if (altered == 1) fuzz::check(state.epsLines.size() == lines.size());

  const int listed = tools.listFontLines(text);
  fuzz::check(oneOf(listed));
  for (size_t i = 0; i < state.fontList.size(); ++i)
    fuzz::check(state.fontList[i].find(' ') == std::string::npos);

  // The coordinate expressions over the text's first line.
  if (!lines.empty()) {
    (void)evaluateCoordinate(lines.front(), 612);
    BoxExpressions box;
    if (parseBoxList(lines.front(), box)) (void)evaluateCoordinate(box.x1, -5);
  }
  return 0;
}
