#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <span>
#include <vector>

#include "model/CItem.h"

namespace velmora {

// A stave list: a doubly linked list, so unlinking a known item, appending
// and inserting next to a known item take constant time. The list owns its
// items; references to them stay valid while they are moved between lists.
using StaveList = std::list<CItem>;

inline constexpr int kStaveListCount = 251;
inline constexpr int kPlacedList = 250;
inline constexpr int kMaxStave = 250;
inline constexpr int kMaxReadStave = 200;

// The in-memory form of one SCORE file.
class CItemStore {
public:
  // The first four bytes as read; kept equal to the words the writer emits
  // after the header, trailer included.
  int32_t headerWord = 0;
  int32_t wordTotal = 0;
  int16_t trailerLength = 0;
  // Verbatim trailer of any length: its bytes are opaque and must survive.
  std::vector<uint8_t> trailer;

  // Scratch trailer read by the APP operation from the file it appends.
  std::vector<uint8_t> appendedTrailer;
  int32_t appendedWordTotal = 0;
  int16_t appendedTrailerLength = 0;

  std::array<int32_t, kStaveListCount> staveFlags{};

  StaveList& list(int index) { return lists_[static_cast<size_t>(index)]; }
  const StaveList& list(int index) const { return lists_[static_cast<size_t>(index)]; }

  // Appends to list int(P2) - 1; the caller has checked P1 and P2.
  CItem& addItem(std::span<const float> params);
  // Places the item by P3 with the code-number tie-break of the Unoptimize reader.
  CItem& insertItemInOrder(std::span<const float> params);
  // The same two for an item held in another list: its node moves here
  // (a splice), nothing is copied.
  CItem& takeItem(StaveList& from, StaveList::iterator at);
  CItem& takeItemInOrder(StaveList& from, StaveList::iterator at);
  // Unlinks and destroys the item, lowering the header word by 1 + its count.
  // Does nothing when the item is not in the list.
  void removeItem(int listIndex, const CItem& item);
  // The same for an item whose position is known, without the search;
  // returns the position after it.
  StaveList::iterator eraseItem(int listIndex, StaveList::iterator it);
  // Moves the item to the end of the placed list; the header word stays.
  void moveToPlacedList(int listIndex, const CItem& item);
  // Removes one parameter and lowers the header word by 1.
  void removeParameter(CItem& item, int32_t index);
  // Empties every list. Header word, trailer and flags stay; the nodes are
  // kept for the items of the next file, so a batch allocates as its
  // largest file needs instead of once per item.
  void clear();
  // Empties `items`, keeping their nodes for later items as clear() does.
  void recycle(StaveList& items);

  bool empty() const;
  size_t itemCount() const;

  // The list an item with this P2 belongs in, or -1 when there is none.
  static int listIndexForStave(float p2);

private:
  StaveList::iterator find(int listIndex, const CItem& item);

  // The list an item of stave number P2 goes to: its stave's, else the placed list.
  StaveList& listForStave(float p2);

  // A new item holding params at the end of `to`, in a kept node when there is one.
  CItem& appendNode(StaveList& to, std::span<const float> params);

  // Nodes of cleared items, as many as a large page needs: after a huge
  // file the rest are freed. A copy of the store does not take them.
  struct Spare {
    StaveList nodes;
    Spare() = default;
    Spare(const Spare&) {}
    Spare(Spare&&) noexcept = default;
    Spare& operator=(const Spare&) { return *this; }
    Spare& operator=(Spare&&) noexcept = default;
  };

  static constexpr size_t kMaxSpareNodes = size_t{1} << 16;

  std::array<StaveList, kStaveListCount> lists_;
  Spare spare_;
};

} // namespace velmora
