// Every settings layout over arbitrary bytes: whatever loads stores to a
// layout that loads back to the same bytes.
#include <tuple>

#include "FuzzHost.h"
#include "settings/Serialize.h"

using namespace velmora;

namespace {

template <class R> void roundTrip(std::span<const uint8_t> data) {
  R record;
  loadRecord(data, record);
  const std::vector<uint8_t> once = storeRecord(record);
  R again;
  fuzz::check(loadRecord(once, again) == LoadResult::Loaded);
  fuzz::check(storeRecord(again) == once);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  roundTrip<GeneralPrefs>(bytes);
  roundTrip<OptimizeOptions>(bytes);
  roundTrip<UnoptimizeOptions>(bytes);
  roundTrip<EditOptions>(bytes);
  roundTrip<JustifyOptions>(bytes);
  roundTrip<BeamOptions>(bytes);
  roundTrip<RunOptions>(bytes);
  roundTrip<CropOptions>(bytes);
  roundTrip<ReportOptions>(bytes);
  roundTrip<ItemCountOptions>(bytes);
  return 0;
}
