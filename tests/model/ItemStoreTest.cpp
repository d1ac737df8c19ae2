#include "ModelHelpers.h"

namespace velmora {
namespace {

using namespace velmora::test;

void addAll(CItemStore& store, const std::string& text) {
  for (const auto& item : parseItems(text))
    store.addItem(item);
}

std::vector<float> valuesOf(const CFloatArray& a) { return {a.values().begin(), a.values().end()}; }

TEST(ModelItemStore, FloatArrayInsideAndOnTheHeap) {
  // Growing past the values kept inside, then shrinking and freeing.
  CFloatArray a;
  for (int i = 1; i <= 8; ++i)
    a.append(static_cast<float>(i));
  a.setAtGrow(11, 12.0f);
  EXPECT_EQ(valuesOf(a), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 12}));
  a.removeAt(2, 3);
  EXPECT_EQ(valuesOf(a), (std::vector<float>{1, 2, 6, 7, 8, 0, 0, 0, 12}));
  a.removeAt(7, 10);
  EXPECT_EQ(valuesOf(a), (std::vector<float>{1, 2, 6, 7, 8, 0, 0}));
  a.setSize(0);
  EXPECT_TRUE(a.empty());
  a.setSize(3);
  EXPECT_EQ(valuesOf(a), (std::vector<float>{0, 0, 0}));
  // Copies and moves of both kinds keep the values and leave the source usable.
  for (const std::vector<float>& values : {std::vector<float>{1, 2}, std::vector<float>(20, 3.0f)}) {
    CFloatArray source;
    source.assign(values);
    CFloatArray copy(source);
    EXPECT_EQ(valuesOf(copy), values);
    CFloatArray moved(std::move(source));
    EXPECT_EQ(valuesOf(moved), values);
    EXPECT_TRUE(source.empty()); // NOLINT(bugprone-use-after-move)
    source.append(9.0f);
    EXPECT_EQ(valuesOf(source), std::vector<float>{9});
    CFloatArray assigned;
    assigned.assign(std::vector<float>(12, 1.0f));
    assigned = moved;
    EXPECT_EQ(valuesOf(assigned), values);
    assigned = std::move(copy);
    EXPECT_EQ(valuesOf(assigned), values);
    assigned = assigned;
    EXPECT_EQ(valuesOf(assigned), values);
  }
}

TEST(ModelItemStore, RemoveAndMove) {
  CItemStore store;
  store.headerWord = 100;
  addAll(store, "1 1 10 4 5 6 7 8 9\n1 2 10 4");
  ASSERT_EQ(store.list(0).size(), 1u);
  ASSERT_EQ(store.list(1).size(), 1u);
  const CItem& nine = store.list(0).front();
  CItem& other = store.list(1).front();
  // Not in the named list, or no such list: nothing happens.
  store.removeItem(1, nine);
  store.removeItem(-1, nine);
  store.removeItem(kStaveListCount, nine);
  EXPECT_EQ(store.headerWord, 100);
  EXPECT_EQ(store.itemCount(), 2u);
  // Nine parameters: the header word drops by ten.
  store.removeItem(0, nine);
  EXPECT_EQ(store.headerWord, 90);
  EXPECT_TRUE(store.list(0).empty());
  // Moving keeps the item itself and the header word.
  store.moveToPlacedList(1, other);
  EXPECT_EQ(store.headerWord, 90);
  ASSERT_EQ(store.list(kPlacedList).size(), 1u);
  EXPECT_EQ(&store.list(kPlacedList).front(), &other);
  // One parameter removed lowers the header word by one; a bad index does nothing.
  store.removeParameter(other, 3);
  store.removeParameter(other, 3);
  EXPECT_EQ(store.headerWord, 89);
  EXPECT_EQ(listsText(store), "250: 1 2 10\n");
}

TEST(ModelItemStore, ClearIsHarmlessAndLeavesTheRest) {
  CItemStore store;
  store.clear();
  EXPECT_TRUE(store.empty());
  addAll(store, "1 1 10\n1 7 10");
  store.moveToPlacedList(0, store.list(0).front());
  store.headerWord = 42;
  store.trailer.assign(20, 0xAB);
  store.staveFlags[7] = 1;
  store.clear();
  store.clear();
  EXPECT_EQ(store.itemCount(), 0u);
  EXPECT_EQ(store.headerWord, 42);
  EXPECT_EQ(store.trailer, Bytes(20, 0xAB));
  EXPECT_EQ(store.staveFlags[7], 1);
}

TEST(ModelItemStore, ItemsAfterAClearHoldOnlyTheirOwnParameters) {
  // The nodes of a cleared file, or of a list handed back, serve the next
  // file's items, appended or inserted in order, whatever their old items held.
  const std::vector<std::vector<float>> next{{1, 1, 30}, {1, 1, 20, 5}, {8, 2, 0, 0, 1, 0, 0, 0, 0, 0, 7}};
  for (const bool inOrder : {false, true})
    for (const bool handedBack : {false, true}) {
      CItemStore store;
      addAll(store, "1 1 10 4 5 6 7 8 9 10 11 12\n1 2 20 1 1 1 1\n14 1 200 1");
      StaveList elsewhere;
      if (handedBack) {
        for (int l : {0, 1})
          elsewhere.splice(elsewhere.end(), store.list(l));
        store.recycle(elsewhere);
        EXPECT_TRUE(elsewhere.empty());
      } else {
        store.clear();
      }
      for (const auto& params : next)
        inOrder ? store.insertItemInOrder(params) : store.addItem(params);
      std::vector<std::vector<float>> got;
      for (int l : {0, 1})
        for (const CItem& item : store.list(l))
          got.push_back(valuesOf(item.params()));
      const std::vector<std::vector<float>> want =
          inOrder ? std::vector<std::vector<float>>{next[1], next[0], next[2]} : next;
      EXPECT_EQ(got, want) << (inOrder ? "in order" : "appended");
      EXPECT_EQ(store.itemCount(), 3u);
    }
}

// List 0 as "code:p4" ("/p5" when present) after `existing` was appended and `x` inserted in order.
std::string inserted(const std::string& existing, const std::string& x) {
  CItemStore store;
  addAll(store, existing);
  for (const auto& item : parseItems(x))
    store.insertItemInOrder(item);
  std::string out;
  for (const CItem& item : store.list(0)) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%g:%g", out.empty() ? "" : " ", static_cast<double>(item.code()),
                  static_cast<double>(item.p(4)));
    out += buf;
    if (item.count() >= 5) out += "/" + std::to_string(static_cast<int>(item.p(5)));
  }
  return out;
}

TEST(ModelItemStore, InsertInOrderTieBreak) {
  struct Case {
    const char* existing;
    const char* x;
    const char* expected;
  };
  const Case cases[] = {
      // By P3 alone, starting from an empty list.
      {"", "1 1 20 1\n1 1 10 2\n1 1 30 3\n1 1 15 4", "1:2 1:4 1:1 1:3"},
      // Y is a clef, staff, barline, key or time signature: X goes after it.
      {"3 1 10\n1 1 10 9", "1 1 10 5", "3:0 1:5 1:9"},
      {"14 1 10\n1 1 10 2", "18 1 10", "14:0 18:0 1:2"},
      // Two notes: the higher P4 goes first, an equal P4 after.
      {"1 1 10 3", "1 1 10 7", "1:7 1:3"},
      {"1 1 10 7", "1 1 10 3", "1:7 1:3"},
      {"1 1 10 3 20", "1 1 10 3 21", "1:3/20 1:3/21"},
      // Y is a note: symbols and slurs go before it; other codes go on.
      {"1 1 10 3", "9 1 10", "9:0 1:3"},
      {"1 1 10 3", "6 1 10", "1:3 6:0"},
      // Y is a rest: notes go before it, rests after it.
      {"2 1 10 0", "1 1 10 4", "1:4 2:0"},
      {"2 1 10 0", "2 1 10 1", "2:0 2:1"},
      // Y is 4, 7 or a slur; Y is a symbol.
      {"4 1 10 1", "11 1 10", "11:0 4:1"},
      {"7 1 10 1", "4 1 10 2", "7:1 4:2"},
      {"5 1 10 1", "7 1 10 2", "7:2 5:1"},
      {"5 1 10 1", "5 1 10 2", "5:1 5:2"},
      {"9 1 10 1", "11 1 10 2", "9:1 11:2"},
      // Going on: appended at the end, put before a larger P3, or the next item becomes Y.
      {"9 1 10", "1 1 10 4", "9:0 1:4"},
      {"9 1 10\n1 1 20 1", "1 1 10 4", "9:0 1:4 1:1"},
      {"6 1 10\n16 1 10\n2 1 10", "1 1 10 4", "6:0 16:0 1:4 2:0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(inserted(c.existing, c.x), c.expected) << c.existing << " + " << c.x;
  // The integer part of P2 picks the list.
  CItemStore store;
  store.insertItemInOrder(std::vector<float>{1, 2.5f, 10});
  EXPECT_EQ(listsText(store), "1: 1 2.5 10\n");
}

} // namespace
} // namespace velmora
