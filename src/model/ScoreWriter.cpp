#include "model/ScoreWriter.h"

#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "base/Format.h"
#include "model/Messages.h"
#include "model/ScoreReader.h"

namespace velmora {

namespace {

void writeItem(ByteWriter& out, const CItem& item) {
  out.f32(static_cast<float>(item.count()));
  out.f32s(item.params().values());
}

// Header bytes by the header rule; false when the word total has no header form.
bool writeHeader(IHost& host, const CItemStore& store, const std::string& path, ByteWriter& out) {
  if (store.headerWord < 0 || store.headerWord > 65535) {
    host.showMessage(strprintf(msg::kHeaderTooLarge, path.c_str(), store.headerWord));
    return false;
  }
  const int32_t total = decodeHeaderWord(store.headerWord);
  const auto word = static_cast<uint32_t>(store.headerWord);
  if (headerWidth(total) == 2)
    out.u16(static_cast<uint16_t>(word));
  else
    out.u32(word);
  return true;
}

int commit(IHost& host, const ByteWriter& out, const std::string& path, CRunRecord* run, bool stavesRenumbered) {
  if (run) {
    run->noteScoreOutput(out.buffer(), stavesRenumbered);
    if (run->dryRun) return 1;
  }
  AtomicFile file;
  // An output that cannot be created or put in place shows the common open text.
  if (!file.open(path) || !file.write(out.buffer()) || !file.commit()) {
    host.showMessage(writeFailureMessage(path, file));
    return 0;
  }
  return 1;
}

void writeTrailer(ByteWriter& out, const CItemStore& store) {
  // The trailer field holds exactly trailer-length words as read.
  const size_t n = static_cast<size_t>(store.trailerLength < 0 ? 0 : store.trailerLength) * 4;
  out.bytes(store.trailer.data(), std::min(n, store.trailer.size()));
  for (size_t i = store.trailer.size(); i < n; ++i)
    out.u8(0);
}

size_t estimateBytes(const CItemStore& store) {
  return 4 + static_cast<size_t>(store.headerWord > 0 ? store.headerWord : 0) * 4;
}

} // namespace

int trimTrailingZeros(IHost& host, CItemStore& store) {
  for (int l = 0; l < kStaveListCount; ++l) {
    if (host.pump() == Pump::Cancel) return 0;
    for (CItem& item : store.list(l)) {
      // Readers refuse a 0 code number, so P1 always stays.
      while (item.count() > 1 && item.params().get(item.count() - 1) == 0.0f)
        store.removeParameter(item, item.count() - 1);
    }
  }
  return 1;
}

int encodePlain(IHost& host, CItemStore& store, const std::string& outputPath, ByteWriter& out) {
  if (trimTrailingZeros(host, store) == 0) return 0;
  out.reserve(estimateBytes(store));
  if (!writeHeader(host, store, outputPath, out)) return 0;
  for (int l = 0; l < kStaveListCount; ++l) {
    if (host.pump() == Pump::Cancel) return 0;
    for (const CItem& item : store.list(l))
      writeItem(out, item);
  }
  writeTrailer(out, store);
  return 1;
}

int writePlain(IHost& host, CItemStore& store, const std::string& outputPath, CRunRecord* run) {
  ByteWriter out;
  if (encodePlain(host, store, outputPath, out) == 0) return 0;
  return commit(host, out, outputPath, run, false);
}

int writeStaves(IHost& host, CItemStore& store, const std::string& outputPath, CRunRecord* run) {
  ByteWriter out;
  out.reserve(estimateBytes(store));
  if (!writeHeader(host, store, outputPath, out)) return 0;
  int deleted = 0;
  for (int l = 0; l < kPlacedList; ++l) {
    if (host.pump() == Pump::Cancel) return 0;
    if (store.staveFlags[static_cast<size_t>(l + 1)] != 1) {
      ++deleted;
      continue;
    }
    for (const CItem& item : store.list(l)) {
      out.f32(static_cast<float>(item.count()));
      const auto values = item.params().values();
      if (values.size() < 2) {
        out.f32s(values);
        continue;
      }
      out.f32(values[0]);
      out.f32(values[1] - static_cast<float>(deleted));
      out.f32s(values.subspan(2));
    }
  }
  for (const CItem& item : store.list(kPlacedList))
    writeItem(out, item);
  writeTrailer(out, store);
  return commit(host, out, outputPath, run, true);
}

} // namespace velmora
