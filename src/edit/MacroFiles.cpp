#include "edit/MacroFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "base/CountedString.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "edit/FileSelection.h"
#include "edit/Messages.h"
#include "model/Messages.h"

namespace velmora {

namespace {

// Macro and step files are a few hundred bytes; anything this large is not one.
constexpr size_t kMaxEditFileBytes = 16u << 20;

const char* extensionOf(EditFileKind kind) { return kind == EditFileKind::Macro ? ".MAC" : ".STP"; }

FileRead readBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& message) {
  const ReadResult read = readWholeFile(path, bytes, kMaxEditFileBytes);
  if (read == ReadResult::CannotOpen) {
    message = strprintf(edit_msg::kUnableToOpen, path.c_str());
    return FileRead::CannotOpen;
  }
  if (read == ReadResult::TooLarge) {
    message = strprintf(msg::kDamaged, path.c_str(), "the file is larger than any macro or step file");
    return FileRead::Damaged;
  }
  return FileRead::Ok;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& message) {
  std::string error;
  WriteStage stage = WriteStage::None;
  if (writeFileAtomic(path, bytes, &error, &stage)) return true;
  message = writeFailureMessage(path, stage, error);
  return false;
}

} // namespace

std::vector<uint8_t> encodeMacro(const MacroData& macro) {
  ByteWriter out;
  writeCountedString(out, macro.description);
  // The count field is 16 bits; a longer list keeps its first 65535 names.
  const size_t count = std::min<size_t>(macro.steps.size(), 0xFFFF);
  out.u16(static_cast<uint16_t>(count));
  for (size_t i = 0; i < count; ++i)
    writeCountedString(out, macro.steps[i]);
  return out.buffer();
}

std::vector<uint8_t> encodeStep(const StepData& step) {
  ByteWriter out;
  writeCountedString(out, step.description);
  writeCountedString(out, step.codeNumbers);
  writeCountedString(out, step.argument);
  writeCountedString(out, step.operation);
  out.i32(step.notFound);
  return out.buffer();
}

bool decodeMacro(std::span<const uint8_t> bytes, MacroData& macro, std::string& why) {
  ByteReader in(bytes);
  MacroData read;
  read.description = readCountedString(in);
  const size_t countAt = in.offset();
  const uint16_t count = in.u16();
  // Each name takes at least its length byte.
  if (in.ok() && count > in.remaining())
    in.fail(strprintf("the step count %u at offset %s is more than the file holds", count, hexOffset(countAt).c_str()));
  for (uint16_t i = 0; i < count && in.ok(); ++i)
    read.steps.push_back(readCountedString(in));
  if (!in.ok()) {
    why = in.error();
    return false;
  }
  macro = std::move(read);
  return true;
}

bool decodeStep(std::span<const uint8_t> bytes, StepData& step, std::string& why, bool* flagRead) {
  ByteReader in(bytes);
  StepData read;
  read.description = readCountedString(in);
  read.codeNumbers = readCountedString(in);
  read.argument = readCountedString(in);
  read.operation = readCountedString(in);
  if (flagRead) *flagRead = in.remaining() >= 4;
  if (!flagRead || *flagRead) read.notFound = in.i32();
  if (!in.ok()) {
    why = in.error();
    return false;
  }
  step = std::move(read);
  return true;
}

FileRead readMacroFile(const std::string& path, MacroData& macro, std::string& message) {
  std::vector<uint8_t> bytes;
  const FileRead read = readBytes(path, bytes, message);
  if (read != FileRead::Ok) return read;
  std::string why;
  if (!decodeMacro(bytes, macro, why)) {
    message = strprintf(msg::kDamaged, path.c_str(), why.c_str());
    return FileRead::Damaged;
  }
  return FileRead::Ok;
}

FileRead readStepFile(const std::string& path, StepData& step, std::string& message, bool* flagRead) {
  std::vector<uint8_t> bytes;
  const FileRead read = readBytes(path, bytes, message);
  if (read != FileRead::Ok) return read;
  std::string why;
  if (!decodeStep(bytes, step, why, flagRead)) {
    message = strprintf(msg::kDamaged, path.c_str(), why.c_str());
    return FileRead::Damaged;
  }
  return FileRead::Ok;
}

bool writeMacroFile(const std::string& path, const MacroData& macro, std::string& message) {
  return writeBytes(path, encodeMacro(macro), message);
}

bool writeStepFile(const std::string& path, const StepData& step, std::string& message) {
  return writeBytes(path, encodeStep(step), message);
}

std::string normaliseName(std::string_view typed) {
  const size_t first = typed.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::string_view name = typed.substr(first);
  name = name.substr(0, name.find('.'));
  return toUpperAscii(std::string(name));
}

CEditFiles::CEditFiles(std::string projectFolder, IHost& host)
    : folder_(withTrailingSeparator(std::move(projectFolder))), host_(host) {}

std::string CEditFiles::pathOf(EditFileKind kind, const std::string& name) const {
  return resolveCaseInsensitive(folder_, name + extensionOf(kind));
}

bool CEditFiles::exists(EditFileKind kind, const std::string& name) const {
  // "Exists" means "can be opened for reading", as the dialogs test it.
  const std::string path = pathOf(kind, name);
  if (isDirectory(path)) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::vector<std::string> CEditFiles::list(EditFileKind kind) const {
  return namesMatching(folder_, std::string("*") + extensionOf(kind));
}

NameCheck CEditFiles::checkName(EditFileKind kind, std::string_view typed) const {
  NameCheck check;
  check.name = normaliseName(typed);
  if (check.name.empty()) return check;
  if (exists(kind, check.name)) {
    check.state = NameCheck::State::Exists;
    check.question =
        strprintf(kind == EditFileKind::Macro ? edit_msg::kMacroExists : edit_msg::kStepExists, check.name.c_str());
    return check;
  }
  check.state = NameCheck::State::Accepted;
  return check;
}

bool CEditFiles::loadMacro(const std::string& name, MacroData& macro) const {
  std::string message;
  if (readMacroFile(pathOf(EditFileKind::Macro, name), macro, message) == FileRead::Ok) return true;
  host_.showMessage(message);
  return false;
}

bool CEditFiles::loadMacroForEditing(const std::string& name, MacroData& macro) const {
  MacroData stored;
  if (!loadMacro(name, stored)) return false;
  macro.description = stored.description;
  macro.steps.clear();
  for (const std::string& step : stored.steps) {
    if (exists(EditFileKind::Step, step)) {
      macro.steps.push_back(step);
      continue;
    }
    const std::string path = pathOf(EditFileKind::Step, step);
    host_.showMessage(strprintf(edit_msg::kUnableToOpenStep, path.c_str()));
  }
  return true;
}

bool CEditFiles::saveMacro(const std::string& name, const MacroData& macro) const {
  std::string message;
  if (writeMacroFile(pathOf(EditFileKind::Macro, name), macro, message)) return true;
  host_.showMessage(message);
  return false;
}

bool CEditFiles::loadStep(const std::string& name, StepData& step) const {
  std::string message;
  if (readStepFile(pathOf(EditFileKind::Step, name), step, message) == FileRead::Ok) return true;
  host_.showMessage(message);
  return false;
}

bool CEditFiles::saveStep(const std::string& name, const StepData& step) const {
  std::string message;
  if (writeStepFile(pathOf(EditFileKind::Step, name), step, message)) return true;
  host_.showMessage(message);
  return false;
}

bool CEditFiles::duplicate(EditFileKind kind, const std::string& from, const std::string& to) const {
  const std::string source = pathOf(kind, from);
  const std::string target = pathOf(kind, to);
  if (source == target) return true;
  std::vector<uint8_t> bytes;
  std::string message;
  if (readBytes(source, bytes, message) != FileRead::Ok || !writeBytes(target, bytes, message)) {
    host_.showMessage(message);
    return false;
  }
  return true;
}

bool CEditFiles::renameMacro(const std::string& from, const std::string& to) const {
  const std::string source = pathOf(EditFileKind::Macro, from);
  const std::string target = pathOf(EditFileKind::Macro, to);
  if (source == target) return true;
  std::string error;
  if (renameNoReplace(source, target, &error)) return true;
  host_.showMessage(strprintf(edit_msg::kRenameFailed, source.c_str(), target.c_str(), error.c_str()));
  return false;
}

bool CEditFiles::renameStep(const std::string& from, const std::string& to) const {
  if (from == to) return true;
  const std::string source = pathOf(EditFileKind::Step, from);
  const std::string target = pathOf(EditFileKind::Step, to);
  if (source != target) {
    std::string error;
    if (!renameNoReplace(source, target, &error)) {
      host_.showMessage(strprintf(edit_msg::kRenameFailed, source.c_str(), target.c_str(), error.c_str()));
      return false;
    }
  }
  bool ok = true;
  for (const std::string& macroName : list(EditFileKind::Macro)) {
    MacroData macro;
    std::string message;
    const std::string path = pathOf(EditFileKind::Macro, macroName);
    // A macro that cannot be read is left alone; rewriting it would lose it.
    if (readMacroFile(path, macro, message) != FileRead::Ok) continue;
    bool changed = false;
    for (std::string& step : macro.steps) {
      if (step != from) continue;
      step = to;
      changed = true;
    }
    if (changed && !writeMacroFile(path, macro, message)) {
      host_.showMessage(message);
      ok = false;
    }
  }
  return ok;
}

std::string CEditFiles::deleteQuestion(EditFileKind kind, int count) {
  return strprintf(kind == EditFileKind::Macro ? edit_msg::kDeleteMacros : edit_msg::kDeleteSteps, count);
}

int CEditFiles::remove(EditFileKind kind, const std::vector<std::string>& names) const {
  int removed = 0;
  for (const std::string& name : names) {
    const std::string path = pathOf(kind, name);
    if (!isDirectory(path) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

bool CEditFiles::appendMacros(const std::vector<std::string>& names, std::vector<std::string>& steps) const {
  for (const std::string& name : names) {
    const std::string path = pathOf(EditFileKind::Macro, name);
    if (!exists(EditFileKind::Macro, name)) {
      // The file is opened all the same, which fails; OK shows that failure too.
      if (host_.askOkCancel(strprintf(edit_msg::kMacroNotFound, path.c_str())))
        host_.showMessage(strprintf(edit_msg::kUnableToOpen, path.c_str()));
      return false;
    }
    MacroData macro;
    if (!loadMacro(name, macro)) return false;
    steps.insert(steps.end(), macro.steps.begin(), macro.steps.end());
  }
  return true;
}

} // namespace velmora
