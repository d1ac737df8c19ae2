#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "settings/Archive.h"
#include "settings/Records.h"

namespace velmora {

void serialize(Archive& ar, GeneralPrefs& r);
void serialize(Archive& ar, OptimizeOptions& r);
void serialize(Archive& ar, UnoptimizeOptions& r);
void serialize(Archive& ar, EditOptions& r);
void serialize(Archive& ar, JustifyOptions& r);
void serialize(Archive& ar, BeamOptions& r);
void serialize(Archive& ar, RunOptions& r);
void serialize(Archive& ar, CropOptions& r);
void serialize(Archive& ar, ReportOptions& r);
void serialize(Archive& ar, ItemCountOptions& r);

enum class LoadResult {
  Loaded,
  CannotOpen,
  Damaged, // ended early or held a bad string length; the fields read before it were applied
};

// Settings files are a few hundred bytes; anything past this is not one.
inline constexpr size_t kMaxSettingsFileBytes = 1u << 20;

template <class R> LoadResult loadRecord(std::span<const uint8_t> data, R& record) {
  ByteReader in(data);
  Archive ar(in);
  serialize(ar, record);
  return ar.ok() ? LoadResult::Loaded : LoadResult::Damaged;
}

template <class R> std::vector<uint8_t> storeRecord(const R& record) {
  R copy = record;
  ByteWriter out;
  Archive ar(out);
  serialize(ar, copy);
  return std::move(out.buffer());
}

// The whole file; one too large to be a settings file counts as damaged.
LoadResult readSettingsBytes(const std::string& path, std::vector<uint8_t>& data);
// Through writeFileAtomic; false with the reason in `error` and where it failed in `stage`.
bool writeSettingsBytes(const std::string& path, const std::vector<uint8_t>& data, std::string* error,
                        WriteStage* stage = nullptr);

template <class R> LoadResult loadRecordFile(const std::string& path, R& record) {
  std::vector<uint8_t> data;
  const LoadResult opened = readSettingsBytes(path, data);
  if (opened != LoadResult::Loaded) return opened;
  return loadRecord(data, record);
}

template <class R>
bool saveRecordFile(const std::string& path, const R& record, std::string* error = nullptr,
                    WriteStage* stage = nullptr) {
  return writeSettingsBytes(path, storeRecord(record), error, stage);
}

// Justify settings files (.jdt) share the "just.dat" layout.
inline LoadResult loadJustifyFile(const std::string& path, JustifyOptions& options) {
  return loadRecordFile(path, options);
}
inline bool saveJustifyFile(const std::string& path, const JustifyOptions& options, std::string* error = nullptr,
                            WriteStage* stage = nullptr) {
  return saveRecordFile(path, options, error, stage);
}

} // namespace velmora
