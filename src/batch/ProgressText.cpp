#include "batch/ProgressText.h"

#include "base/Format.h"

namespace velmora {

std::string formatDuration(long long milliseconds) {
  const long long seconds = milliseconds < 0 ? 0 : milliseconds / 1000;
  const long long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (h > 0) return strprintf("%lld:%02lld:%02lld", h, m, s);
  return strprintf("%lld:%02lld", m, s);
}

std::string batchProgressText(size_t index, size_t count, long long elapsedMs) {
  std::string text = strprintf("File %zu of %zu", index, count);
  const size_t done = index > 0 ? index - 1 : 0;
  if (elapsedMs < kEstimateAfterMs || done == 0 || done >= count) return text;
  // Doubles: a day of milliseconds times 10,000 files would still fit, but need not.
  const double left = static_cast<double>(elapsedMs) / static_cast<double>(done) * static_cast<double>(count - done);
  return text + ", " + formatDuration(elapsedMs) + " elapsed, about " + formatDuration(static_cast<long long>(left)) +
         " left";
}

} // namespace velmora
