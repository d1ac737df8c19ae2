// The Unoptimize input reader and the template passes over arbitrary bytes,
// against a fixed template: whatever they leave writes back and reads again.
#include "StoreCheck.h"
#include "staves/Unoptimize.h"

using namespace velmora;

namespace {

// Three staves: piano pair (instrument 1, bracketed by a code-14 group) and a
// solo (instrument 7), each with a staff item, a barline and a note.
const CUnoptimizeTemplate& fixedTemplate() {
  static CUnoptimizeTemplate tpl = [] {
    fuzz::FuzzHost host;
    CItemStore source;
    const std::vector<std::vector<float>> items = {
        {8, 1, 0, 0, 200, 0, 0, 0, 1},
        {8, 2, 0, 0, 200, 0, 0, 0, 2},
        {8, 3, 0, 0, 200, 0, 0, 0, 7},
        {14, 1, 0, 2, 9},
        {14, 1, 100, 2},
        {1, 3, 20, 4, 10},
    };
    fuzz::fillStore(source, items);
    ByteWriter out;
    CUnoptimizeTemplate loaded;
    if (encodePlain(host, source, "template.mus", out) == 1) {
      ScoreFile file{"template.mus", out.buffer()};
      CItemStore scratch;
      if (openScoreBytes(host, scratch, file) == 1) readTemplate(host, file, scratch, loaded);
    }
    return loaded;
  }();
  return tpl;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CUnoptimizeTemplate& tpl = fixedTemplate();
  fuzz::check(tpl.loaded());
  fuzz::FuzzHost host;
  ScoreFile file{"input.mus", std::vector<uint8_t>(data, data + size)};
  CItemStore store;
  if (openScoreBytes(host, store, file) != 1) return 0;
  UnoptimizeFileState state;
  if (readUnoptimizeInput(host, file, store, tpl, state) != 1) return 0;
  fuzz::check(store.headerWord == fuzz::storeWords(store));
  UnoptimizeOptions options;
  options.showStaveInsertWindow = 0;
  if (applyTemplateGroups(host, store, tpl) != 1) return 0;
  fuzz::check(store.headerWord == fuzz::storeWords(store));
  if (insertMissingStaves(host, store, tpl, options, state.staffLeftEdge, file.path) != 1) return 0;
  fuzz::check(store.headerWord == fuzz::storeWords(store));
  fuzz::checkWritesBack(host, store);
  return 0;
}
