// velmora-mksample DIR: writes a ready settings folder with the sample project,
// built from the readable sources beside this file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "edit/ItemText.h"
#include "edit/MacroFiles.h"
#include "edit/StepSyntax.h"
#include "settings/Settings.h"

namespace {

namespace fs = std::filesystem;

class PrintingHost : public velmora::IHost {
public:
  void showMessage(const std::string& text) override { std::fprintf(stderr, "velmora-mksample: %s\n", text.c_str()); }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  velmora::Pump pump() override { return velmora::Pump::GoOn; }
  int chooseFiles(velmora::FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
};

bool fail(const std::string& text) {
  std::fprintf(stderr, "velmora-mksample: %s\n", text.c_str());
  return false;
}

// The files of a source folder with this ending, in name order.
std::vector<fs::path> sourcesEndingIn(const fs::path& folder, const std::string& ending) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name.size() > ending.size() && name.ends_with(ending)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> readLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::string trimmed(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

// The line without its "#" comment; a "#" inside double quotes is text.
std::string withoutComment(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '#' && !quoted) return line.substr(0, i);
  }
  return line;
}

bool parseNumbers(const std::string& text, std::vector<float>& out, std::string& error) {
  std::istringstream fields(text);
  for (std::string word; fields >> word;) {
    char* end = nullptr;
    const float v = std::strtof(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0') {
      error = "\"" + word + "\" is not a number";
      return false;
    }
    out.push_back(v);
  }
  return true;
}

// One SCORE item: its parameters separated by blanks. A closing text in
// double quotes fills P12 (its length) and P14 onwards, four characters per
// parameter; the numbers before it give P1 to P13.
bool parseItem(const std::string& line, std::vector<float>& item, std::string& error) {
  const size_t quote = line.find('"');
  if (!parseNumbers(line.substr(0, quote), item, error)) return false;
  if (quote == std::string::npos) return true;
  const size_t close = line.rfind('"');
  if (close == quote || !trimmed(line.substr(close + 1)).empty()) {
    error = "a text must stand in double quotes at the end of its line";
    return false;
  }
  const std::string text = line.substr(quote + 1, close - quote - 1);
  constexpr size_t kBeforeText = velmora::kTextFirstParameter - 1;
  if (item.size() > kBeforeText || text.empty()) {
    error = "a text item gives at most 13 numbers and a text";
    return false;
  }
  item.resize(kBeforeText, 0.0f);
  item[velmora::kTextLengthParameter - 1] = static_cast<float>(text.size());
  for (size_t offset = 0; offset < text.size(); offset += 4)
    item.push_back(velmora::packTextWord(text, offset));
  return true;
}

// A SCORE file as SCORE writes it: header, items, and a five-word trailer.
std::vector<uint8_t> scoreBytes(const std::vector<std::vector<float>>& items) {
  const std::vector<float> trailer{0.0f, 0.0f, 0.0f, 4.0f, -9999.0f};
  int32_t total = static_cast<int32_t>(trailer.size());
  for (const auto& item : items)
    total += 1 + static_cast<int32_t>(item.size());
  velmora::ByteWriter out;
  if (total <= 14200)
    out.u16(static_cast<uint16_t>(total));
  else
    out.i32(total);
  for (const auto& item : items) {
    out.f32(static_cast<float>(item.size()));
    for (float p : item)
      out.f32(p);
  }
  for (float t : trailer)
    out.f32(t);
  return out.buffer();
}

bool writeBytes(const std::string& target, std::span<const uint8_t> bytes) {
  std::string error;
  if (velmora::writeFileAtomic(target, bytes, &error)) return true;
  return fail("cannot write " + target + ": " + error);
}

// scores/NAME.txt becomes NAME.mus; scores/NAME.EXT.txt keeps its own extension.
bool writeScores(const fs::path& sources, const std::string& project) {
  for (const fs::path& source : sourcesEndingIn(sources / "scores", ".txt")) {
    std::vector<std::vector<float>> items;
    const std::vector<std::string> lines = readLines(source);
    for (size_t n = 0; n < lines.size(); ++n) {
      const std::string line = withoutComment(lines[n]);
      std::vector<float> item;
      std::string error;
      if (!parseItem(line, item, error)) return fail(source.string() + ":" + std::to_string(n + 1) + ": " + error);
      if (!item.empty()) items.push_back(item);
    }
    std::string name = source.stem().string();
    if (name.find('.') == std::string::npos) name += ".mus";
    if (!writeBytes(project + name, scoreBytes(items))) return false;
  }
  return true;
}

struct ProjectSource {
  std::map<std::string, velmora::StepData> steps;
  std::vector<std::pair<std::string, velmora::MacroData>> macros;
};

// project.txt: "step NAME" and "macro NAME" blocks of "field text" lines.
bool parseProject(const fs::path& path, ProjectSource& project) {
  velmora::StepData* step = nullptr;
  velmora::MacroData* macro = nullptr;
  const std::vector<std::string> lines = readLines(path);
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string line = trimmed(withoutComment(lines[n]));
    if (line.empty()) continue;
    const size_t blank = line.find_first_of(" \t");
    const std::string field = line.substr(0, blank);
    const std::string text = blank == std::string::npos ? std::string() : trimmed(line.substr(blank));
    const std::string where = path.string() + ":" + std::to_string(n + 1) + ": ";
    const auto addLine = [](std::string& to, const std::string& more) { to += (to.empty() ? "" : "\r\n") + more; };
    if (field == "step") {
      step = &project.steps[text];
      macro = nullptr;
    } else if (field == "macro") {
      project.macros.push_back({text, {}});
      macro = &project.macros.back().second;
      step = nullptr;
    } else if (step && field == "description") {
      addLine(step->description, text);
    } else if (step && field == "codes") {
      step->codeNumbers = text;
    } else if (step && field == "if") {
      step->argument = text;
    } else if (step && field == "operation") {
      step->operation = text;
    } else if (step && field == "notfound") {
      step->notFound = text == "1" ? 1 : 0;
    } else if (macro && field == "description") {
      addLine(macro->description, text);
    } else if (macro && field == "steps") {
      std::istringstream names(text);
      for (std::string name; names >> name;)
        macro->steps.push_back(name);
    } else {
      return fail(where + "unknown field \"" + field + "\"");
    }
  }
  return true;
}

// Every step is checked as the step editor's OK checks it, and saved as it saves it.
bool writeProject(const fs::path& sources, const std::string& project) {
  ProjectSource source;
  if (!parseProject(sources / "project.txt", source)) return false;
  std::string message;
  for (auto& [name, step] : source.steps) {
    const velmora::FieldCheck check = velmora::normaliseAndCheckStep(step, false);
    if (!check.ok()) return fail("step " + name + ": " + check.message);
    if (!velmora::writeStepFile(project + name + ".STP", step, message)) return fail(message);
  }
  for (const auto& [name, macro] : source.macros) {
    for (const std::string& step : macro.steps)
      if (!source.steps.contains(step)) return fail("macro " + name + " names the unknown step " + step);
    if (!velmora::writeMacroFile(project + name + ".MAC", macro, message)) return fail(message);
  }
  return true;
}

// beams/NAME.txt: one entry per line, five fields, written as the run writes its records.
bool writeBeamLibraries(const fs::path& sources, const std::string& project) {
  for (const fs::path& source : sourcesEndingIn(sources / "beams", ".txt")) {
    std::vector<std::string> records;
    for (const std::string& raw : readLines(source)) {
      std::istringstream fields(withoutComment(raw));
      std::vector<std::string> f;
      for (std::string word; fields >> word;)
        f.push_back(word);
      if (f.empty()) continue;
      if (f.size() != 5) return fail(source.string() + ": an entry has five fields: \"" + trimmed(raw) + "\"");
      velmora::CBeamAngle entry;
      const velmora::BeamField left = velmora::parseNoteField(f[0]);
      const velmora::BeamField mid = velmora::parseNoteField(f[1]);
      const velmora::BeamField right = velmora::parseNoteField(f[2]);
      entry.left = left.value;
      entry.leftCompare = left.compare;
      entry.mid = mid.value;
      entry.midCompare = mid.compare;
      entry.right = right.value;
      entry.rightCompare = right.compare;
      entry.leftEnd = velmora::parseNumberField(f[3]);
      entry.rightEnd = velmora::parseNumberField(f[4]);
      records.push_back(velmora::beamRecordText(entry));
    }
    const std::string target = project + source.stem().string() + ".DAT";
    std::string error;
    if (!velmora::writeLibraryRecords(target, records, &error)) return fail("cannot write " + target + ": " + error);
  }
  return true;
}

// EPS pages are text already and are copied as they are.
bool copyEpsPages(const fs::path& sources, const std::string& project) {
  for (const fs::path& source : sourcesEndingIn(sources / "eps", ".eps")) {
    std::vector<uint8_t> bytes;
    if (velmora::readWholeFile(source.string(), bytes, 1u << 20) != velmora::ReadResult::Ok)
      return fail("cannot read " + source.string());
    if (!writeBytes(project + source.filename().string(), bytes)) return false;
  }
  return true;
}

// Every settings file at its default, with SAMPLES as the project folder and
// Run Multiple Tasks set to the whole chain but Unoptimize.
bool writeSettings(const std::string& folder, const std::string& project) {
  PrintingHost host;
  velmora::CSettings settings(folder);
  settings.setProjectFolder(project);
  velmora::RunOptions& run = settings.run();
  run.runStaveTask = 1;
  run.runBeamAngles = 1;
  run.runJustify = 1;
  run.runEdit = 1;
  bool ok = true;
  for (auto file : {velmora::SettingsFile::Prefs, velmora::SettingsFile::Optimize, velmora::SettingsFile::Unoptimize,
                    velmora::SettingsFile::Edit, velmora::SettingsFile::Justify, velmora::SettingsFile::Beam,
                    velmora::SettingsFile::Run, velmora::SettingsFile::Crops, velmora::SettingsFile::Report,
                    velmora::SettingsFile::ItemCount})
    ok = settings.save(file, host) && ok;
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora-mksample DIR\n");
    return 2;
  }
  const std::string folder = velmora::withTrailingSeparator(argv[1]);
  const std::string project = folder + "SAMPLES/";
  std::error_code ec;
  fs::create_directories(project, ec);
  if (ec) {
    std::fprintf(stderr, "velmora-mksample: cannot create %s: %s\n", project.c_str(), ec.message().c_str());
    return 1;
  }
  const fs::path sources(VELMORA_SAMPLES_DIR);
  const bool ok = writeScores(sources, project) && writeProject(sources, project) &&
                  writeBeamLibraries(sources, project) && copyEpsPages(sources, project) &&
                  writeSettings(folder, project);
  return ok ? 0 : 1;
}
