#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"

namespace velmora {

// NAME.MAC: a description and the step names in run order.
struct MacroData {
  std::string description;
  std::vector<std::string> steps;

  bool operator==(const MacroData&) const = default;
};

// NAME.STP: one conditional edit.
struct StepData {
  std::string description;
  std::string codeNumbers;
  std::string argument;
  std::string operation;
  // As stored; only exactly 1 counts as set.
  int32_t notFound = 0;

  bool notFoundFlag() const { return notFound == 1; }
  bool operator==(const StepData&) const = default;
};

enum class EditFileKind { Macro, Step };

// The bytes of each file, byte for byte; the macro's step count is 16 bits.
std::vector<uint8_t> encodeMacro(const MacroData& macro);
std::vector<uint8_t> encodeStep(const StepData& step);
// False with the place of the fault in `why` for truncated or overlong data.
bool decodeMacro(std::span<const uint8_t> bytes, MacroData& macro, std::string& why);
// With `flagRead` given, a step that ends before its 4 flag bytes is accepted with the flag clear.
bool decodeStep(std::span<const uint8_t> bytes, StepData& step, std::string& why, bool* flagRead = nullptr);

enum class FileRead { Ok, CannotOpen, Damaged };

// Reads a whole file; `message` gets the text to show when not Ok.
FileRead readMacroFile(const std::string& path, MacroData& macro, std::string& message);
FileRead readStepFile(const std::string& path, StepData& step, std::string& message, bool* flagRead = nullptr);
// Writes through an atomic file; `message` gets the text to show on failure.
bool writeMacroFile(const std::string& path, const MacroData& macro, std::string& message);
bool writeStepFile(const std::string& path, const StepData& step, std::string& message);

// What the user typed as a name: leading blanks dropped, cut at the first
// ".", upper-cased. "  beam.up" gives "BEAM".
std::string normaliseName(std::string_view typed);

// The name fields accept this many characters with limitNameLength set.
inline constexpr size_t kDosNameLength = 8;

// The outcome of the name entry with its overwrite check.
struct NameCheck {
  enum class State { Empty, Exists, Accepted } state = State::Empty;
  std::string name;
  // The "Overwrite" question when the file exists.
  std::string question;
};

// The macro and step files of one project folder and the operations the
// macro and step dialogs perform on them. Failures are shown through the host.
class CEditFiles {
public:
  CEditFiles(std::string projectFolder, IHost& host);

  const std::string& projectFolder() const { return folder_; }
  // project folder + NAME + ".MAC" / ".STP", preferring an existing file that
  // matches ignoring case.
  std::string pathOf(EditFileKind kind, const std::string& name) const;
  bool exists(EditFileKind kind, const std::string& name) const;

  // Names of the project folder's files of that kind, upper case, sorted.
  std::vector<std::string> list(EditFileKind kind) const;
  // Normalises the typed name and checks whether its file exists.
  NameCheck checkName(EditFileKind kind, std::string_view typed) const;

  // Read for a run: a missing or damaged file shows its message.
  bool loadMacro(const std::string& name, MacroData& macro) const;
  // Read for the macro editor: steps whose file cannot be opened are reported
  // one by one and left out.
  bool loadMacroForEditing(const std::string& name, MacroData& macro) const;
  bool saveMacro(const std::string& name, const MacroData& macro) const;
  bool loadStep(const std::string& name, StepData& step) const;
  bool saveStep(const std::string& name, const StepData& step) const;

  // Copies the file's content under a new name.
  bool duplicate(EditFileKind kind, const std::string& from, const std::string& to) const;
  // Renames the .MAC file; an existing target is never replaced.
  bool renameMacro(const std::string& from, const std::string& to) const;
  // Renames the .STP file, then rewrites every macro that lists `from`
  // (exact case); macros without it are not written.
  bool renameStep(const std::string& from, const std::string& to) const;

  // The confirmation text for deleting `count` files.
  static std::string deleteQuestion(EditFileKind kind, int count);
  // Removes the files; one that cannot be removed is skipped silently.
  // Returns how many were removed.
  int remove(EditFileKind kind, const std::vector<std::string>& names) const;

  // "Append Macro...": each named macro's steps go to the end of `steps`, in
  // order. A missing macro asks "Macro %s not found\n" and ends the append.
  // False when the append ended early.
  bool appendMacros(const std::vector<std::string>& names, std::vector<std::string>& steps) const;

private:
  std::string folder_;
  IHost& host_;
};

} // namespace velmora
