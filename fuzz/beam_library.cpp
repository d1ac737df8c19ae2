// Beam library files over arbitrary bytes: the records write back to bytes
// that read the same, and every parsed entry saves to a record that parses
// back to the same text.
#include "FuzzHost.h"
#include "beams/BeamLibrary.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> records;
  std::string why;
  const LibraryRead read = decodeLibraryRecords(std::span<const uint8_t>(data, size), records, why);
  fuzz::check(read != LibraryRead::CannotOpen);
  if (read == LibraryRead::Damaged) fuzz::check(!why.empty());

  const std::vector<uint8_t> bytes = libraryBytes(records);
  std::vector<std::string> again;
  fuzz::check(decodeLibraryRecords(bytes, again, why) == LibraryRead::Loaded);
  fuzz::check(again == records);

  CBeamLibrary library;
  for (const std::string& record : records) {
    const CBeamAngle entry = parseBeamRecord(record);
    const std::string text = beamRecordText(entry);
    fuzz::check(beamRecordText(parseBeamRecord(text)) == text);
    fuzz::check(!ranksAfter(entry, entry));
    insertInOrder(library, entry);
  }
  fuzz::check(library.size() == records.size());
  return 0;
}
