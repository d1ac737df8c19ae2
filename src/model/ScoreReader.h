#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Host.h"
#include "model/CItemStore.h"

namespace velmora {

// Files larger than this cannot be SCORE files (the header holds at most
// 65535 words) and are refused before they are read into memory.
inline constexpr size_t kMaxScoreFileBytes = 16u << 20;
inline constexpr int32_t kJustMarker = -32437;

// The header rule: the low 16 bits when not negative, else the whole value.
int32_t decodeHeaderWord(int32_t headerWord);
// 2 bytes for totals up to 14200, else 4.
int headerWidth(int32_t wordTotal);

struct ScoreHandover;

// A SCORE file opened for reading: its bytes, held in memory, or the
// hand-over of a chain that stands for it.
struct ScoreFile {
  std::string path;
  std::vector<uint8_t> bytes;
  ScoreHandover* handover = nullptr;
};

// The opening step: 1 ready, 0 refused (JUST format, damaged), -1 cannot
// open. Sets the store's header word and trailer length.
int openScoreFile(IHost& host, const std::string& path, CItemStore& store, ScoreFile& file);

// The checks of the opening step on bytes already in memory.
int openScoreBytes(IHost& host, CItemStore& store, const ScoreFile& file);

// Trailer length from the float 8 bytes before the end; false when that float
// is not usable (damaged), with the reason in `why`.
bool readTrailerLength(std::span<const uint8_t> bytes, int16_t& trailerLength, std::string& why);

// What the readers refuse in an item: a code number outside 1 to 18.99, or a
// stave number outside 1 to 200 (below 1 there is no stave list). Missing
// parameters count as 0.
enum class ItemFault { None, Code, Stave };
ItemFault itemFault(std::span<const float> params);

// An item of the store that the readers would refuse, where the writer puts it.
struct UnreadableItem {
  const CItem* item = nullptr;
  int list = 0;     // stave list 0..250
  int position = 0; // 1-based within the list
  ItemFault fault = ItemFault::None;
  float value = 0;  // the refused code or stave number
};

// Every item the readers would refuse, in writing order; a store that passes
// can be written and read back.
std::vector<UnreadableItem> unreadableItems(const CItemStore& store);

// "the invalid Code No. 0 (SCORE files take 1 to 18.99)", or the same for a stave number.
std::string describeFault(const UnreadableItem& bad);

// What a reader does with each item on top of the common framing.
class IItemSink {
public:
  virtual ~IItemSink() = default;
  // Whether the framing tests P1 and P2 with their messages.
  virtual bool checksCodeAndStave() const { return true; }
  // Runs before the checks; the optimize and template readers zero P4 here.
  virtual void prepare(std::span<float> params) { (void)params; }
  // The reader's store step. False stops the read with result 0; the sink
  // has shown its own message.
  virtual bool store(std::span<const float> params) = 0;
  // The store step for an item of a hand-over, at `at` in `from`: a sink
  // that keeps items whole takes the node itself. By default a copy is
  // stored and the node dropped.
  virtual bool take(StaveList& from, StaveList::iterator at) {
    if (!store(at->params().values())) return false;
    from.erase(at);
    return true;
  }
};

// Why a read stopped, for callers that treat a cancel apart from a refusal.
enum class ReadStop { None, Cancelled, Refused, Damaged };

// The common framing over an opened file: header, items, trailer.
// 1 read, 0 stopped (cancel, bad item, damaged file).
int readItems(IHost& host, const ScoreFile& file, CItemStore& store, IItemSink& sink, ReadStop* stop = nullptr);

// The general reader: every item appended to its stave list.
int readGeneral(IHost& host, const ScoreFile& file, CItemStore& store);

// Which staves the optimize reader flags as kept.
struct OptimizeMarking {
  bool zeroStaffP4 = true;      // clear only for the working copy of a combined run
  bool instrumentMode = false;  // staves chosen by the staff items' P9
  bool keepListed = false;      // the listed instruments are the ones kept
  std::vector<int> instruments; // the instrument list
};

// The optimize reader: general store step, then stave flags as marked.
int readOptimize(IHost& host, const ScoreFile& file, CItemStore& store, const OptimizeMarking& marking);

// Opening step and general reader together, for tasks that need nothing else.
int openAndReadGeneral(IHost& host, const std::string& path, CItemStore& store);

} // namespace velmora
