// The beam reader, note search and angle setting over arbitrary bytes, with
// libraries learnt silently: groups point at items of the store, learnt
// entries save and read back the same, and the file writes back.
#include "StoreCheck.h"
#include "beams/BeamTask.h"

using namespace velmora;

namespace {

// A user who answers "No" to every question.
struct NoDialogs : IBeamDialogs {
  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion&) override { return BeamNotFoundAnswer::No; }
  bool editBeamLibrary(BeamLibraryRequest&) override { return false; }
  bool editBeamSettings(BeamSettingsRequest&) override { return false; }
  bool askAreYouSure() override { return false; }
};

bool inStore(const CItemStore& store, const CItem* item) {
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& i : store.list(l))
      if (&i == item) return true;
  return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz::FuzzHost host;
  NoDialogs dialogs;
  // The first byte picks the options, the rest is the file.
  const uint8_t pick = data[0];
  ScoreFile file{"beams.mus", std::vector<uint8_t>(data + 1, data + size)};
  CItemStore store;
  CBeamLibraries libraries;
  CBeamGroups groups;
  if (openScoreBytes(host, store, file) != 1 || readBeams(host, file, store, groups) != 1) return 0;
  BeamRun run{host, dialogs, store, libraries, groups, "/nonexistent/", BeamOptions{}};
  run.options.p18GraceBeams = pick & 1;
  run.options.skip64ths = (pick >> 1) & 1;
  run.options.replaceLibraryAngles = (pick >> 2) & 1;
  run.options.horizontalRule = (pick >> 3) % 3;
  run.options.horizontalIfDirectionChanges = (pick >> 5) & 1;
  run.options.horizontalIfPitchRepeated = (pick >> 6) & 1;
  run.options.allowNoAngleDialog = (pick >> 7) & 1;
  if (findBeamNotes(host, store, groups, run.options) != 1) return 0;
  for (const CBeamPosition& group : groups) {
    fuzz::check(group.beam && inStore(store, group.beam));
    for (const CItem* note : {group.leftNote, group.midNote, group.rightNote})
      fuzz::check(!note || inStore(store, note));
  }
  if (setBeamAngles(run) != 1) return 0;
  for (int index = 0; index < kBeamLibraryCount; ++index) {
    const CBeamLibrary& library = libraries[index];
    // What the run saves, it reads back the same.
    for (const CBeamAngle& entry : library) {
      const CBeamAngle again = parseBeamRecord(beamRecordText(entry));
      fuzz::check(beamRecordText(again) == beamRecordText(entry));
    }
  }
  groups.clear();
  fuzz::checkWritesBack(host, store);
  return 0;
}
