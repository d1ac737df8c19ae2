// The Unoptimize template reader over arbitrary bytes: every kept item sits
// in the list of its stave and the staff range covers the instruments.
#include "FuzzHost.h"
#include "staves/Unoptimize.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzHost host;
  ScoreFile file{"template.mus", std::vector<uint8_t>(data, data + size)};
  CItemStore scratch;
  static CUnoptimizeTemplate tpl;
  if (openScoreBytes(host, scratch, file) != 1) return 0;
  const int read = readTemplate(host, file, scratch, tpl);
  fuzz::check(read == 1 || (read == 0 && !tpl.loaded()));
  if (read != 1) return 0;
  for (int t = 1; t <= kMaxStave; ++t) {
    for (const CItem& item : tpl.list(t)) {
      fuzz::check(intPart(item.stave()) == t);
      // Staff items keep no P4 in the template.
      if (intPart(item.code()) == 8 && item.count() >= 4) fuzz::check(item.p(4) == 0.0f);
    }
    if (tpl.instrument(t) != 0) {
      fuzz::check(t >= tpl.lowestStaffStave() && t <= tpl.highestStaffStave());
      fuzz::check(tpl.staveForInstrument(static_cast<float>(tpl.instrument(t))) <= t);
    }
    fuzz::check(tpl.span(t) >= 0 && tpl.span(t) <= kMaxStave);
  }
  fuzz::check(tpl.list(0).empty() && tpl.list(251).empty());
  return 0;
}
