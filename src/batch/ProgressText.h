#pragma once

#include <cstddef>
#include <string>

namespace velmora {

// How long a batch must have run before its estimate is worth showing.
inline constexpr long long kEstimateAfterMs = 3000;

// "0:42", "12:05", "1:02:09".
std::string formatDuration(long long milliseconds);

// The status-bar text while file `index` (from 1) of `count` runs, `elapsedMs`
// after the first file started: "File 643 of 2731", and once the batch has
// run a few seconds ", 0:42 elapsed, about 1:20 left", the estimate from the
// files finished so far.
std::string batchProgressText(size_t index, size_t count, long long elapsedMs);

} // namespace velmora
