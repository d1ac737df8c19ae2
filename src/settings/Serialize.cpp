#include "settings/Serialize.h"

#include "base/AtomicFile.h"
#include "base/FileSystem.h"

namespace velmora {

void serialize(Archive& ar, GeneralPrefs& r) {
  ar.version();
  ar.string(r.projectSubfolder);
  ar.int32(r.useExplorerDialog);
}

void serialize(Archive& ar, OptimizeOptions& r) {
  ar.version();
  ar.flag8(r.deleteBraces);
  ar.flag8(r.deleteBrackets);
  ar.flag8(r.deleteStraightBrackets);
  ar.flag8(r.showStaveDeleteWindow);
  ar.string(r.extension);
  if (ar.since(370)) ar.flag8(r.showInstrumentDeleteWindow);
}

void serialize(Archive& ar, UnoptimizeOptions& r) {
  ar.version();
  ar.flag8(r.insertBraces);
  ar.flag8(r.insertBrackets);
  ar.flag8(r.insertStraightBrackets);
  ar.flag8(r.showStaveInsertWindow);
  ar.string(r.extension);
}

void serialize(Archive& ar, EditOptions& r) {
  ar.version();
  ar.string(r.extension);
  ar.flag8(r.rememberLastMacro);
  ar.flag8(r.promptBeforeOperation);
  ar.flag8(r.allowDragging);
  ar.flag8(r.extendedParameters);
  ar.int32(r.limitNameLength);
  if (ar.since(366)) ar.int32(r.fourPointPrecision);
  if (ar.since(369)) ar.int32(r.saveOnlyIfModified);
}

void serialize(Archive& ar, JustifyOptions& r) {
  ar.version();
  ar.string(r.extension);
  ar.flag8(r.promptBeforeOperation);
  ar.flag8(r.recognizeStretchedNotes);
  ar.float32(r.minimumSpace);
  if (ar.since(375)) {
    for (float* width :
         {&r.noteheadQuarterHalf, &r.noteheadWhole, &r.noteheadDoubleWhole, &r.accidentalFlat, &r.accidentalSharp,
          &r.accidentalNatural, &r.accidentalDoubleFlat, &r.accidentalDoubleSharp, &r.quarterFlat, &r.threeQuarterFlat,
          &r.quarterSharp, &r.threeQuarterSharp, &r.ledgerQuarterHalf, &r.ledgerWhole, &r.ledgerDoubleWhole,
          &r.rhythmDot, &r.noteParenthesis, &r.accidentalParenthesis})
      ar.float32(*width);
  }
  if (ar.since(376)) {
    ar.float32(r.extraSpaceFirstNote);
    ar.float32(r.extraSpaceOpeningTie);
    ar.int32(r.barlineType);
  }
  // Added last, so it follows the fields that came before it in the file.
  if (ar.since(377)) ar.float32(r.noteFlag);
}

void serialize(Archive& ar, BeamOptions& r) {
  ar.version();
  ar.string(r.extension);
  ar.int32(r.allowNoAngleDialog);
  ar.int32(r.p18GraceBeams);
  ar.int32(r.skip64ths);
  ar.int32(r.replaceLibraryAngles);
  ar.int32(r.horizontalRule);
  ar.int32(r.horizontalIfDirectionChanges);
  ar.int32(r.horizontalIfPitchRepeated);
}

void serialize(Archive& ar, RunOptions& r) {
  ar.version();
  ar.int32(r.runStaveTask);
  ar.int32(r.staveTaskIsUnoptimize);
  ar.int32(r.runBeamAngles);
  ar.int32(r.runEdit);
  ar.string(r.extension);
  if (ar.since(376)) ar.int32(r.runJustify);
}

void serialize(Archive& ar, CropOptions& r) {
  ar.version();
  ar.int32(r.paperSize);
  ar.int32(r.originX);
  ar.int32(r.originY);
  ar.int32(r.boxX1);
  ar.int32(r.boxX2);
  ar.int32(r.boxY1);
  ar.int32(r.boxY2);
  ar.int32(r.markLength);
  ar.float32(r.markThickness);
  ar.int32(r.alignWithFileBox);
  ar.int32(r.landscape);
  ar.int32(r.renameToScoreName);
}

void serialize(Archive& ar, ReportOptions& r) {
  ar.version();
  for (int32_t* flag : {&r.listMacros, &r.macroDate, &r.macroDescription, &r.macroSteps, &r.listSteps, &r.stepDate,
                        &r.stepDescription, &r.stepCodeNumbers, &r.stepArgument, &r.stepOperation, &r.listBeamAngles,
                        &r.beamAngleDate, &r.listOptions, &r.optionsDate, &r.listMacrosPerStep})
    ar.int32(*flag);
}

void serialize(Archive& ar, ItemCountOptions& r) {
  ar.version();
  ar.int32(r.skipBlankStaves);
}

LoadResult readSettingsBytes(const std::string& path, std::vector<uint8_t>& data) {
  switch (readWholeFile(path, data, kMaxSettingsFileBytes)) {
  case ReadResult::Ok: return LoadResult::Loaded;
  case ReadResult::CannotOpen: return LoadResult::CannotOpen;
  case ReadResult::TooLarge: break;
  }
  data.clear();
  return LoadResult::Damaged;
}

bool writeSettingsBytes(const std::string& path, const std::vector<uint8_t>& data, std::string* error,
                        WriteStage* stage) {
  return writeFileAtomic(path, data, error, stage);
}

} // namespace velmora
