#include "model/ScoreHandover.h"

#include <cstring>

#include "base/ByteReader.h"
#include "base/Format.h"
#include "model/Messages.h"
#include "model/ScoreWriter.h"

namespace velmora {

namespace {

// The header check of the writers, with their message.
bool headerFits(IHost& host, const CItemStore& store, const std::string& path) {
  if (store.headerWord >= 0 && store.headerWord <= 65535) return true;
  host.showMessage(strprintf(msg::kHeaderTooLarge, path.c_str(), store.headerWord));
  return false;
}

// What the writers put in the trailer field: exactly trailer-length words.
void takeTrailer(const CItemStore& store, ScoreHandover& out) {
  const size_t n = static_cast<size_t>(store.trailerLength < 0 ? 0 : store.trailerLength) * 4;
  out.trailerLength = store.trailerLength;
  out.trailer.assign(n, 0);
  std::memcpy(out.trailer.data(), store.trailer.data(), std::min(n, store.trailer.size()));
}

} // namespace

void ScoreHandover::clear() {
  headerWord = 0;
  trailerLength = 0;
  trailer.clear();
  items.clear();
  encoded = false;
  bytes.clear();
}

void ScoreHandover::encodeTo(ByteWriter& out) const {
  if (encoded) {
    out.bytes(bytes.data(), bytes.size());
    return;
  }
  const auto word = static_cast<uint32_t>(headerWord);
  if (headerWidth(decodeHeaderWord(headerWord)) == 2)
    out.u16(static_cast<uint16_t>(word));
  else
    out.u32(word);
  for (const CItem& item : items) {
    out.f32(static_cast<float>(item.count()));
    out.f32s(item.params().values());
  }
  out.bytes(trailer.data(), trailer.size());
}

void ScoreHandover::encode() {
  if (encoded) return;
  ByteWriter out;
  out.reserve(4 + static_cast<size_t>(headerWord > 0 ? headerWord : 0) * 4);
  encodeTo(out);
  clear();
  bytes = std::move(out.buffer());
  encoded = true;
}

int layOutPlain(IHost& host, CItemStore& store, const std::string& path, ScoreHandover& out) {
  out.clear();
  if (trimTrailingZeros(host, store) == 0) return 0;
  if (!headerFits(host, store, path)) return 0;
  for (int l = 0; l < kStaveListCount; ++l) {
    if (host.pump() == Pump::Cancel) return 0;
    out.items.splice(out.items.end(), store.list(l));
  }
  out.headerWord = store.headerWord;
  takeTrailer(store, out);
  return 1;
}

int layOutStaves(IHost& host, CItemStore& store, const std::string& path, ScoreHandover& out) {
  out.clear();
  if (!headerFits(host, store, path)) return 0;
  int deleted = 0;
  for (int l = 0; l < kPlacedList; ++l) {
    if (host.pump() == Pump::Cancel) return 0;
    if (store.staveFlags[static_cast<size_t>(l + 1)] != 1) {
      ++deleted;
      continue;
    }
    StaveList& list = store.list(l);
    // The stave writer's renumbering, the same float arithmetic.
    for (CItem& item : list)
      if (item.count() >= 2) item.params().set(1, item.params().get(1) - static_cast<float>(deleted));
    out.items.splice(out.items.end(), list);
  }
  out.items.splice(out.items.end(), store.list(kPlacedList));
  out.headerWord = store.headerWord;
  takeTrailer(store, out);
  return 1;
}

bool readsBackAsLaidOut(const ScoreHandover& h) {
  if (h.encoded || h.headerWord < 0 || h.headerWord > 65535) return false;
  // The trailer length the reader takes from the float 8 bytes before the end.
  if (h.trailerLength < 2 || h.trailer.size() != static_cast<size_t>(h.trailerLength) * 4) return false;
  float lengthWord;
  std::memcpy(&lengthWord, h.trailer.data() + h.trailer.size() - 8, 4);
  const float value = lengthWord + 1.0f;
  if (!(value >= 0.0f && value < 32768.0f) || static_cast<int16_t>(value) != h.trailerLength) return false;
  int64_t words = h.trailerLength;
  for (const CItem& item : h.items) {
    if (item.count() > 32767) return false;
    words += 1 + item.count();
  }
  return words == decodeHeaderWord(h.headerWord);
}

int openScore(IHost& host, const ScoreIO& io, CItemStore& store, ScoreFile& file) {
  file.path = io.inputPath;
  file.handover = nullptr;
  if (!io.handover) return openScoreFile(host, io.inputPath, store, file);
  ScoreHandover& h = *io.handover;
  if (readsBackAsLaidOut(h)) {
    file.handover = &h;
    file.bytes.clear();
    store.headerWord = h.headerWord;
    store.trailerLength = h.trailerLength;
    return 1;
  }
  // Whatever the reader makes of these bytes, it makes of the file.
  h.encode();
  file.bytes = h.bytes;
  return openScoreBytes(host, store, file);
}

int writePlain(IHost& host, CItemStore& store, const ScoreIO& io) {
  if (io.handover) return layOutPlain(host, store, io.inputPath, *io.handover);
  return writePlain(host, store, io.outputPath, io.run);
}

int writeStaves(IHost& host, CItemStore& store, const ScoreIO& io) {
  if (io.handover) return layOutStaves(host, store, io.inputPath, *io.handover);
  return writeStaves(host, store, io.outputPath, io.run);
}

int readHandoverItems(IHost& host, const ScoreFile& file, CItemStore& store, IItemSink& sink, ReadStop& why) {
  ScoreHandover& h = *file.handover;
  why = ReadStop::Damaged;
  store.wordTotal = decodeHeaderWord(store.headerWord);
  store.headerWord = store.wordTotal;
  const bool checks = sink.checksCodeAndStave();
  int itemNumber = 1;
  while (!h.items.empty()) {
    if (host.pump() == Pump::Cancel) {
      why = ReadStop::Cancelled;
      return 0;
    }
    // The sink works on the item's own parameters; a refused hand-over is dropped.
    CItem& item = h.items.front();
    sink.prepare(item.params().values());
    why = ReadStop::Refused;
    if (checks) {
      const ItemFault fault = itemFault(item.params().values());
      if (fault != ItemFault::None) {
        host.showMessage(strprintf(fault == ItemFault::Code ? msg::kInvalidCode : msg::kInvalidStave, itemNumber));
        return 0;
      }
    }
    if (!sink.take(h.items, h.items.begin())) return 0;
    why = ReadStop::Damaged;
    ++itemNumber;
  }
  store.trailer = std::move(h.trailer);
  h.clear();
  why = ReadStop::None;
  return 1;
}

} // namespace velmora
