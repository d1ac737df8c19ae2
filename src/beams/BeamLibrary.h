#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"

namespace velmora {

// The eight libraries, in the order the run, the combo box and the not-found dialog use.
inline constexpr int kBeamLibraryCount = 8;
inline constexpr int kUp8ths = 0, kDown8ths = 1, kUp16ths = 2, kDown16ths = 3, kUp32nds = 4, kDown32nds = 5,
                     kUpGrace = 6, kDownGrace = 7;

struct BeamLibraryInfo {
  const char* fileName;  // "BUP8THS.DAT"
  const char* comboText; // "UP 8THS"
  const char* label;     // "Up 8ths"
};

// The entry of a library index; index 0's for an index out of range.
const BeamLibraryInfo& beamLibraryInfo(int index);
inline bool isValidBeamLibrary(int index) { return index >= 0 && index < kBeamLibraryCount; }
inline bool isDownLibrary(int index) { return index % 2 == 1; }

// Comparison codes of a note condition.
inline constexpr int32_t kCompareEqual = 0, kCompareBelow = 1, kCompareAbove = 2;
// The mid position of an entry for a group without a middle note.
inline constexpr float kNoMidNote = -99.0f;

// One library entry: three note conditions and the two beam endpoints.
struct CBeamAngle {
  float left = 0.0f;
  int32_t leftCompare = kCompareEqual;
  float mid = 0.0f;
  int32_t midCompare = kCompareEqual;
  float right = 0.0f;
  int32_t rightCompare = kCompareEqual;
  float leftEnd = 0.0f;
  float rightEnd = 0.0f;

  bool operator==(const CBeamAngle&) const = default;
};

using CBeamLibrary = std::vector<CBeamAngle>;

// Truncation toward zero that stays defined for NaN and values beyond int.
int32_t truncateToInt(double value);

// A leading "<"/">" run, then a number read as the C library reads it (trailing junk ignored).
struct BeamField {
  int32_t compare = kCompareEqual;
  float value = 0.0f;
};
BeamField parseNoteField(std::string_view text);
float parseNumberField(std::string_view text);

// The five texts of a record or row: first character dropped, then each field up to a tab.
std::array<std::string, 5> splitBeamRecord(std::string_view record);

// A record read the way the run reads it.
CBeamAngle parseBeamRecord(std::string_view record);
// The record text the run writes: "\t<3\t>7\t5\t13.500\t12.000\t".
std::string beamRecordText(const CBeamAngle& entry);

// True when `a` ranks after `b` in library order.
bool ranksAfter(const CBeamAngle& a, const CBeamAngle& b);
// Before the first entry that ranks after it; a left position of -99 goes first.
void insertInOrder(CBeamLibrary& library, const CBeamAngle& entry);

enum class LibraryRead { Loaded, CannotOpen, Damaged };

// Library files are a few kilobytes; anything past this is not one.
inline constexpr size_t kMaxLibraryFileBytes = 16u << 20;

// Every record to the end of the file, empty ones skipped; a damaged file
// keeps those before the damage.
LibraryRead decodeLibraryRecords(std::span<const uint8_t> bytes, std::vector<std::string>& records, std::string& why);
LibraryRead readLibraryRecords(const std::string& path, std::vector<std::string>& records, std::string& why);
// Atomic and keeping the file's permissions; empty records, which hold no entry, are skipped.
bool writeLibraryRecords(const std::string& path, std::span<const std::string> records, std::string* error = nullptr);
std::vector<uint8_t> libraryBytes(std::span<const std::string> records);

// project folder + file name, matching an existing file ignoring case.
std::string beamLibraryPath(const std::string& projectFolder, int index);

enum class BeamStems { Both, Up, Down };

// The eight in-memory libraries of a run.
class CBeamLibraries {
public:
  CBeamLibrary& operator[](int index) { return libraries_[static_cast<size_t>(index)]; }
  const CBeamLibrary& operator[](int index) const { return libraries_[static_cast<size_t>(index)]; }

  // By kind (0 8ths, 1 16ths, 2 32nds, 3 grace; -1 all) for one stem set or both.
  void clear(int kind = -1, BeamStems stems = BeamStems::Both);
  // A file that exists but is not read in full is then kept from saveAll.
  void load(IHost& host, const std::string& projectFolder, int index);
  void loadAll(IHost& host, const std::string& projectFolder);
  // Writes every library in order; a failure shows its message and goes on.
  // False when any library was not saved.
  bool saveAll(IHost& host, const std::string& projectFolder);

  bool empty() const;
  // Entries in all libraries together.
  size_t entryCount() const;
  bool keptFromSaving(int index) const { return incomplete_[static_cast<size_t>(index)]; }

private:
  std::array<CBeamLibrary, kBeamLibraryCount> libraries_;
  std::array<bool, kBeamLibraryCount> incomplete_{};
};

} // namespace velmora
