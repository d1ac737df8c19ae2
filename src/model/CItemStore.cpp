#include "model/CItemStore.h"

#include <cmath>

namespace velmora {

int CItemStore::listIndexForStave(float p2) {
  if (!(p2 >= 1.0f && p2 < static_cast<float>(kMaxStave + 1))) return -1;
  return static_cast<int>(p2) - 1;
}

StaveList& CItemStore::listForStave(float p2) {
  const int index = listIndexForStave(p2);
  return lists_[static_cast<size_t>(index < 0 ? kPlacedList : index)];
}

CItem& CItemStore::appendNode(StaveList& to, std::span<const float> params) {
  if (spare_.nodes.empty()) return to.emplace_back(params);
  to.splice(to.end(), spare_.nodes, spare_.nodes.begin());
  CItem& item = to.back();
  item.params().assign(params);
  return item;
}

CItem& CItemStore::addItem(std::span<const float> params) {
  return appendNode(listForStave(params.size() >= 2 ? params[1] : 0.0f), params);
}

namespace {

enum class Tie { Before, After, GoOn };

bool isOneOf(int code, std::initializer_list<int> codes) {
  for (int c : codes)
    if (c == code) return true;
  return false;
}

// Where X goes relative to Y when both stand at the same P3.
Tie tieBreak(const CItem& x, const CItem& y) {
  const int xc = intPart(x.code());
  const int yc = intPart(y.code());
  switch (yc) {
  case 9:
  case 11: return isOneOf(xc, {9, 11}) ? Tie::After : Tie::GoOn;
  case 1:
    if (isOneOf(xc, {9, 11, 4, 7, 5})) return Tie::Before;
    if (xc == 1) return y.p(4) < x.p(4) ? Tie::Before : Tie::After;
    return Tie::GoOn;
  case 2:
    if (isOneOf(xc, {9, 11, 4, 7, 5, 1})) return Tie::Before;
    return xc == 2 ? Tie::After : Tie::GoOn;
  case 4:
  case 7:
    if (isOneOf(xc, {9, 11})) return Tie::Before;
    return isOneOf(xc, {4, 7}) ? Tie::After : Tie::GoOn;
  case 5:
    if (isOneOf(xc, {9, 11, 4, 7})) return Tie::Before;
    return xc == 5 ? Tie::After : Tie::GoOn;
  case 3:
  case 8:
  case 14:
  case 17:
  case 18: return Tie::After;
  default: return Tie::GoOn;
  }
}

// Where an item goes in a list kept in P3 order.
StaveList::iterator orderedPlace(StaveList& target, const CItem& x) {
  const float p3 = x.p(3);
  auto it = target.begin();
  while (it != target.end() && it->p(3) < p3)
    ++it;
  while (it != target.end()) {
    if (it->p(3) > p3) return it;
    // Same P3: the tie-break decides, or we go on to the next item.
    switch (tieBreak(x, *it)) {
    case Tie::Before: return it;
    case Tie::After: return std::next(it);
    case Tie::GoOn: {
      auto next = std::next(it);
      if (next == target.end() || next->p(3) > p3) return next;
      it = next;
      break;
    }
    }
  }
  return target.end();
}

} // namespace

CItem& CItemStore::insertItemInOrder(std::span<const float> params) {
  StaveList& target = listForStave(params.size() >= 2 ? params[1] : 0.0f);
  StaveList one;
  CItem& item = appendNode(one, params);
  target.splice(orderedPlace(target, item), one);
  return item;
}

CItem& CItemStore::takeItem(StaveList& from, StaveList::iterator at) {
  StaveList& target = listForStave(at->stave());
  target.splice(target.end(), from, at);
  return *at;
}

CItem& CItemStore::takeItemInOrder(StaveList& from, StaveList::iterator at) {
  StaveList& target = listForStave(at->stave());
  target.splice(orderedPlace(target, *at), from, at);
  return *at;
}

StaveList::iterator CItemStore::find(int listIndex, const CItem& item) {
  StaveList& l = lists_[static_cast<size_t>(listIndex)];
  for (auto it = l.begin(); it != l.end(); ++it)
    if (&*it == &item) return it;
  return l.end();
}

void CItemStore::removeItem(int listIndex, const CItem& item) {
  if (listIndex < 0 || listIndex >= kStaveListCount) return;
  const auto it = find(listIndex, item);
  if (it == list(listIndex).end()) return;
  headerWord -= 1 + it->count();
  list(listIndex).erase(it);
}

StaveList::iterator CItemStore::eraseItem(int listIndex, StaveList::iterator it) {
  headerWord -= 1 + it->count();
  return list(listIndex).erase(it);
}

void CItemStore::moveToPlacedList(int listIndex, const CItem& item) {
  if (listIndex < 0 || listIndex >= kStaveListCount) return;
  const auto it = find(listIndex, item);
  if (it == list(listIndex).end()) return;
  lists_[kPlacedList].splice(lists_[kPlacedList].end(), list(listIndex), it);
}

void CItemStore::removeParameter(CItem& item, int32_t index) {
  if (index < 0 || index >= item.count()) return;
  item.params().removeAt(index, 1);
  headerWord -= 1;
}

void CItemStore::clear() {
  for (auto& l : lists_)
    recycle(l);
}

void CItemStore::recycle(StaveList& items) {
  spare_.nodes.splice(spare_.nodes.end(), items);
  while (spare_.nodes.size() > kMaxSpareNodes)
    spare_.nodes.pop_back();
}

bool CItemStore::empty() const {
  for (const auto& l : lists_)
    if (!l.empty()) return false;
  return true;
}

size_t CItemStore::itemCount() const {
  size_t n = 0;
  for (const auto& l : lists_)
    n += l.size();
  return n;
}

} // namespace velmora
