#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Host.h"
#include "model/CItemStore.h"
#include "model/RunRecord.h"
#include "model/ScoreReader.h"

namespace velmora {

class ByteWriter;

// One task's result on its way to the next task, held in memory in place of
// a file: the items in the order a writer lays them out, with the header
// word and trailer it would write. A reader takes it as it would take the
// file, so what a write and a read do in between (the writer's trimming, its
// stave renumbering and order, the reader's regrouping and checks) still
// happens, without the file.
struct ScoreHandover {
  int32_t headerWord = 0;
  int16_t trailerLength = 0;
  std::vector<uint8_t> trailer; // trailerLength words, as the writer puts them
  StaveList items;              // in file order
  // Set when the hand-over holds the file's bytes instead of its items.
  bool encoded = false;
  std::vector<uint8_t> bytes;

  bool empty() const { return items.empty() && !encoded && trailer.empty(); }
  void clear();
  // The bytes a writer would have written.
  void encodeTo(ByteWriter& out) const;
  // Turns the items into those bytes (kept as they are when already encoded).
  void encode();
};

// Where a per-file routine reads its items and where it writes them: files,
// or the hand-over of a chain in memory.
struct ScoreIO {
  std::string inputPath;
  std::string outputPath;
  ScoreHandover* handover = nullptr;
  // A dry run's record, or what a summary counts; none for a plain run.
  CRunRecord* run = nullptr;
  // The file messages about the output name: the output, or for a hand-over
  // the input it stands for.
  const std::string& outputName() const { return handover ? inputPath : outputPath; }
};

// The opening step on the input, or on the hand-over as it would open the
// file the writer had written; file.path is the input path either way.
int openScore(IHost& host, const ScoreIO& io, CItemStore& store, ScoreFile& file);

// The writers of ScoreWriter.h towards a file or into the hand-over. Into the
// hand-over the store's written lists are moved, not copied; what the stave
// writer leaves out stays in the store.
int writePlain(IHost& host, CItemStore& store, const ScoreIO& io);
int writeStaves(IHost& host, CItemStore& store, const ScoreIO& io);

// The same layouts into a hand-over; `path` names it in messages.
int layOutPlain(IHost& host, CItemStore& store, const std::string& path, ScoreHandover& out);
int layOutStaves(IHost& host, CItemStore& store, const std::string& path, ScoreHandover& out);

// Whether a reader reading the encoded bytes back would frame exactly the
// laid-out items and trailer; when not, the hand-over is read from its bytes
// so that the refusal is the file's.
bool readsBackAsLaidOut(const ScoreHandover& handover);

// The reader's framing over the hand-over's items; called by readItems.
int readHandoverItems(IHost& host, const ScoreFile& file, CItemStore& store, IItemSink& sink, ReadStop& why);

} // namespace velmora
