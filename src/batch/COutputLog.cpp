#include "batch/COutputLog.h"

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

} // namespace velmora
