#include "model/ScoreReader.h"

#include <cmath>

#include "base/ByteReader.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "model/Messages.h"
#include "model/ScoreHandover.h"

namespace velmora {

int32_t decodeHeaderWord(int32_t headerWord) {
  const auto low = static_cast<int16_t>(headerWord & 0xFFFF);
  return low >= 0 ? low : headerWord;
}

int headerWidth(int32_t wordTotal) { return wordTotal <= 14200 ? 2 : 4; }

bool readTrailerLength(std::span<const uint8_t> bytes, int16_t& trailerLength, std::string& why) {
  if (bytes.size() < 8) {
    why = "the file is too short to be a SCORE file";
    return false;
  }
  ByteReader in(bytes);
  in.seek(bytes.size() - 8);
  const float value = in.f32() + 1.0f;
  if (!(value >= 0.0f && value < 32768.0f)) {
    why = "the trailer length at offset " + hexOffset(bytes.size() - 8) + " is not a valid number";
    return false;
  }
  trailerLength = static_cast<int16_t>(value);
  // The float that gives the length is the trailer's second-to-last word; a
  // shorter trailer would take it from an item, which any edit could change.
  if (trailerLength < 2) {
    why = strprintf("the trailer of %d word(s) does not reach its length at offset %s", trailerLength,
                    hexOffset(bytes.size() - 8).c_str());
    return false;
  }
  if (static_cast<size_t>(trailerLength) * 4 > bytes.size() - 2) {
    why = strprintf("the trailer of %d words is longer than the file", trailerLength);
    return false;
  }
  return true;
}

int openScoreFile(IHost& host, const std::string& path, CItemStore& store, ScoreFile& file) {
  file.path = path;
  const ReadResult read = readWholeFile(path, file.bytes, kMaxScoreFileBytes);
  if (read == ReadResult::CannotOpen) {
    host.showMessage(strprintf(msg::kUnableToOpen, path.c_str()));
    return -1;
  }
  if (read == ReadResult::TooLarge) {
    host.showMessage(strprintf(msg::kDamaged, path.c_str(), "the file is larger than any SCORE file"));
    return 0;
  }
  return openScoreBytes(host, store, file);
}

int openScoreBytes(IHost& host, CItemStore& store, const ScoreFile& file) {
  const std::string& path = file.path;
  // The JUST marker comes first: such a file need not end in a SCORE trailer.
  ByteReader in(file.bytes);
  const int32_t first = in.i32();
  if (in.ok() && first == kJustMarker) {
    host.showMessage(strprintf(msg::kJustFormat, path.c_str()));
    return 0;
  }
  std::string why;
  if (!readTrailerLength(file.bytes, store.trailerLength, why)) {
    host.showMessage(strprintf(msg::kDamaged, path.c_str(), why.c_str()));
    return 0;
  }
  store.headerWord = first;
  return 1;
}

ItemFault itemFault(std::span<const float> params) {
  // NaN fails the range tests.
  const double p1 = params.size() >= 1 ? params[0] : 0.0;
  const double p2 = params.size() >= 2 ? params[1] : 0.0;
  if (!(p1 >= 1.0 && p1 <= 18.99)) return ItemFault::Code;
  if (!(p2 >= 1.0 && p2 <= static_cast<double>(kMaxReadStave))) return ItemFault::Stave;
  return ItemFault::None;
}

std::vector<UnreadableItem> unreadableItems(const CItemStore& store) {
  std::vector<UnreadableItem> bad;
  for (int l = 0; l < kStaveListCount; ++l) {
    int position = 0;
    for (const CItem& item : store.list(l)) {
      ++position;
      const ItemFault fault = itemFault(item.params().values());
      if (fault != ItemFault::None)
        bad.push_back({&item, l, position, fault, fault == ItemFault::Code ? item.code() : item.stave()});
    }
  }
  return bad;
}

std::string describeFault(const UnreadableItem& bad) {
  if (bad.fault == ItemFault::Code)
    return strprintf("the invalid Code No. %g (SCORE files take 1 to 18.99)", static_cast<double>(bad.value));
  return strprintf("the invalid stave number %g (SCORE files take 1 to %d)", static_cast<double>(bad.value),
                   kMaxReadStave);
}

namespace {

int damaged(IHost& host, const ScoreFile& file, const std::string& why) {
  host.showMessage(strprintf(msg::kDamaged, file.path.c_str(), why.c_str()));
  return 0;
}

class GeneralSink final : public IItemSink {
public:
  explicit GeneralSink(CItemStore& store) : store_(store) {}
  bool store(std::span<const float> params) override {
    store_.addItem(params);
    return true;
  }
  bool take(StaveList& from, StaveList::iterator at) override {
    store_.takeItem(from, at);
    return true;
  }

private:
  CItemStore& store_;
};

class OptimizeSink final : public IItemSink {
public:
  OptimizeSink(CItemStore& store, const OptimizeMarking& marking) : store_(store), marking_(marking) {}

  void prepare(std::span<float> params) override {
    if (marking_.zeroStaffP4 && params.size() > 3 && intPart(params[0]) == 8) params[3] = 0.0f;
  }

  bool store(std::span<const float> params) override { return mark(store_.addItem(params)); }
  bool take(StaveList& from, StaveList::iterator at) override { return mark(store_.takeItem(from, at)); }

private:
  bool mark(const CItem& item) {
    const int code = intPart(item.code());
    const int stave = intPart(item.stave());
    if (!marking_.instrumentMode) {
      if (code == 1) store_.staveFlags[static_cast<size_t>(stave)] = 1;
      return true;
    }
    if (code != 8) return true;
    bool listed = false;
    if (item.count() >= 9) {
      for (int number : marking_.instruments)
        if (static_cast<float>(number) == item.p(9)) listed = true;
    }
    if (listed == marking_.keepListed) store_.staveFlags[static_cast<size_t>(stave)] = 1;
    return true;
  }

  CItemStore& store_;
  const OptimizeMarking& marking_;
};

} // namespace

int readItems(IHost& host, const ScoreFile& file, CItemStore& store, IItemSink& sink, ReadStop* stop) {
  ReadStop ignored;
  ReadStop& why = stop ? *stop : ignored;
  if (file.handover) return readHandoverItems(host, file, store, sink, why);
  why = ReadStop::Damaged;
  store.wordTotal = decodeHeaderWord(store.headerWord);
  if (store.wordTotal < 0)
    return damaged(host, file, strprintf("the header gives a word total of %d", store.wordTotal));
  // Keep only the decoded total, so later arithmetic on the header word
  // cannot borrow into bytes that belong to the first item.
  store.headerWord = store.wordTotal;

  const size_t width = static_cast<size_t>(headerWidth(store.wordTotal));
  // A total beyond the file would read the trailer as items and blame an item.
  if (file.bytes.size() < width || static_cast<uint64_t>(store.wordTotal) > (file.bytes.size() - width) / 4)
    return damaged(host, file,
                   strprintf("the header gives a word total of %d, more than the file holds", store.wordTotal));
  // The total counts the trailer; one below it would be written back short.
  if (store.wordTotal < store.trailerLength)
    return damaged(host, file,
                   strprintf("the header gives a word total of %d, fewer than the %d words of the trailer",
                             store.wordTotal, store.trailerLength));
  ByteReader in(file.bytes);
  in.seek(width);
  const int64_t itemWords = static_cast<int64_t>(store.wordTotal) - store.trailerLength;
  int64_t running = 0;
  int itemNumber = 1;
  std::vector<float> params;
  params.reserve(32);
  const bool checks = sink.checksCodeAndStave();
  while (running < itemWords) {
    if (host.pump() == Pump::Cancel) {
      why = ReadStop::Cancelled;
      return 0;
    }
    const size_t at = in.offset();
    const float countValue = in.f32();
    if (!in.ok())
      return damaged(
          host, file,
          strprintf("item %d at offset %s runs past the end of the file", itemNumber, hexOffset(at).c_str()));
    if (!(countValue > -1.0f && countValue < 32768.0f))
      return damaged(
          host, file,
          strprintf("item %d at offset %s has an invalid parameter count", itemNumber, hexOffset(at).c_str()));
    const auto n = static_cast<int16_t>(countValue);
    if (static_cast<size_t>(n) * 4 > in.remaining())
      return damaged(
          host, file,
          strprintf("item %d at offset %s runs past the end of the file", itemNumber, hexOffset(at).c_str()));
    // The header word must match the items, or every later upkeep of it is wrong.
    if (running + n + 1 > itemWords)
      return damaged(
          host, file,
          strprintf("item %d at offset %s runs past the word total of the header", itemNumber, hexOffset(at).c_str()));
    params.resize(static_cast<size_t>(n));
    in.f32s(params);
    sink.prepare(params);
    why = ReadStop::Refused;
    if (checks) {
      const ItemFault fault = itemFault(params);
      if (fault != ItemFault::None) {
        host.showMessage(strprintf(fault == ItemFault::Code ? msg::kInvalidCode : msg::kInvalidStave, itemNumber));
        return 0;
      }
    }
    if (!sink.store(params)) return 0;
    why = ReadStop::Damaged;
    running += n + 1;
    ++itemNumber;
  }
  const size_t at = in.offset();
  store.trailer.assign(static_cast<size_t>(store.trailerLength) * 4, 0);
  if (!in.bytes(store.trailer.data(), store.trailer.size())) {
    store.trailer.clear();
    return damaged(host, file, "the trailer at offset " + hexOffset(at) + " runs past the end of the file");
  }
  // Bytes after the trailer mean the trailer length came from the wrong place.
  if (!in.atEnd())
    return damaged(host, file,
                   strprintf("%zu bytes follow the trailer at offset %s", in.remaining(), hexOffset(at).c_str()));
  why = ReadStop::None;
  return 1;
}

int readGeneral(IHost& host, const ScoreFile& file, CItemStore& store) {
  GeneralSink sink(store);
  return readItems(host, file, store, sink);
}

int readOptimize(IHost& host, const ScoreFile& file, CItemStore& store, const OptimizeMarking& marking) {
  OptimizeSink sink(store, marking);
  return readItems(host, file, store, sink);
}

int openAndReadGeneral(IHost& host, const std::string& path, CItemStore& store) {
  ScoreFile file;
  const int opened = openScoreFile(host, path, store, file);
  if (opened != 1) return opened;
  return readGeneral(host, file, store);
}

} // namespace velmora
