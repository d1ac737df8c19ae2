#include "batch/COutputLog.h"

#include "base/AtomicFile.h"

namespace velmora {

void COutputLog::append(std::string row) {
  rows_.push_back(std::move(row));
  if (observer_) observer_->rowAppended(rows_.size() - 1, false);
}

void COutputLog::appendAndFollow(std::string row) {
  rows_.push_back(std::move(row));
  if (observer_) observer_->rowAppended(rows_.size() - 1, true);
}

void COutputLog::clear() {
  rows_.clear();
  if (observer_) observer_->cleared();
}

void COutputLog::replaceLast(std::string row) {
  if (rows_.empty()) {
    appendAndFollow(std::move(row));
    return;
  }
  rows_.back() = std::move(row);
  if (observer_) observer_->rowReplaced(rows_.size() - 1);
}

bool COutputLog::saveAs(const std::string& path, std::string& error) const {
  size_t size = 0;
  for (const std::string& row : rows_)
    size += row.size() + 1;
  std::string text;
  text.reserve(size);
  for (const std::string& row : rows_)
    text.append(row).push_back('\n');
  return writeFileAtomic(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, &error);
}

} // namespace velmora
