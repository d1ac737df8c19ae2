#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Host.h"
#include "beams/BeamDialogs.h"
#include "beams/BeamLibrary.h"
#include "model/CItemStore.h"
#include "model/RunRecord.h"
#include "model/ScoreHandover.h"
#include "model/ScoreReader.h"
#include "settings/Records.h"

namespace velmora {

// One beam group of the file being processed. The items belong to their stave lists.
struct CBeamPosition {
  CItem* beam = nullptr;
  CItem* leftNote = nullptr;
  CItem* midNote = nullptr; // the middle note nearest the beam
  CItem* rightNote = nullptr;
  int32_t directionChanges = 0;
  int32_t repeatedPitch = 0;
};

// The beam work of one file, in the file order of the beam items.
using CBeamGroups = std::vector<CBeamPosition>;

// The general store step plus a group per beam (P1 6, 7 parameters, P7 above 0). 1 read, 0 stopped.
int readBeams(IHost& host, const ScoreFile& file, CItemStore& store, CBeamGroups& groups);

// Notes and flags of every group; groups excluded by a note's P12 go. 0 when cancelled.
int findBeamNotes(IHost& host, CItemStore& store, CBeamGroups& groups, const BeamOptions& options);

// The number of beams: P7's units digit, or more from P10 and P13.
int beamCount(const CItem& beam);

// Which library a beam is set from, and its offsets; library -1 leaves it alone.
struct BeamClass {
  int library = -1;
  int beams = 0;
  int extraOffset = 0; // 64ths and beyond in the 32nds libraries
  int graceOffset = 0;
  bool up() const { return !isDownLibrary(library); }
};
BeamClass classifyBeam(const CItem& beam, bool skip64ths);

// The entry's three note conditions against the group's notes.
bool entryMatches(const CBeamAngle& entry, const CBeamPosition& group);

// Sets the beam from a matched entry; learning first gives the entry the beam's endpoints.
void applyBeamAngle(CBeamAngle& entry, CBeamPosition& group, const BeamOptions& options, bool up, int graceOffset,
                    int extraOffset);

// The entry silent learning adds; false without both end notes.
bool newEntryFromGroup(const CBeamPosition& group, bool up, CBeamAngle& entry);

// "Beam Angle Does Not Exist" for a group of this library.
BeamNotFoundQuestion notFoundQuestion(const CBeamPosition& group, int library);

// Everything one Set Beam Angles run works on.
struct BeamRun {
  IHost& host;
  IBeamDialogs& dialogs;
  CItemStore& store;
  CBeamLibraries& libraries;
  CBeamGroups& groups;
  std::string projectFolder;
  // As loaded for the run; "No To All" switches the dialog off until it ends.
  BeamOptions options;
  // The batch's dry-run and change record, handed to the writer.
  CRunRecord* record = nullptr;
};

// Steps B to F over the groups of the file in the store. 0 when the user cancels.
int setBeamAngles(BeamRun& run);

// The per-file routine (1 / 0 / -1); the store and the groups are empty afterwards.
int setBeamAnglesInFile(BeamRun& run, const std::string& path, const std::string& extension);
// The same from and to files or a chain's hand-over.
int setBeamAnglesInFile(BeamRun& run, const ScoreIO& io);

} // namespace velmora
