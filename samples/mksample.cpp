// velmora-mksample DIR: writes a ready settings folder with the sample project.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "base/FileSystem.h"
#include "edit/MacroFiles.h"
#include "settings/Settings.h"

namespace {

class PrintingHost : public velmora::IHost {
public:
  void showMessage(const std::string& text) override { std::fprintf(stderr, "velmora-mksample: %s\n", text.c_str()); }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  velmora::Pump pump() override { return velmora::Pump::GoOn; }
  int chooseFiles(velmora::FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
};

// One item per line, parameters separated by blanks; "#" starts a comment.
std::vector<uint8_t> scoreFromText(std::istream& text) {
  std::vector<std::vector<float>> items;
  std::string line;
  while (std::getline(text, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::vector<float> item;
    for (float v; fields >> v;)
      item.push_back(v);
    if (!item.empty()) items.push_back(item);
  }
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

// The demo macro: stems turned down high on the stave, texts moved to their stave's start.
bool writeDemoMacro(const std::string& project) {
  const velmora::StepData stems{"Stems down for notes on or above the middle line", "1", "P4 >= 8 && P5 == 10",
                                "5 = 20", 0};
  const velmora::StepData texts{"Texts to the start of their stave", "16", "COMP[1] == 8 && COMP[2] == P2",
                                "3 = COMP[3]", 0};
  const velmora::MacroData demo{"Demo: stems down on high notes,\r\ntexts to the start of their stave",
                                {"STEMDOWN", "TEXTLEFT"}};
  std::string message;
  const bool ok = velmora::writeStepFile(project + "STEMDOWN.STP", stems, message) &&
                  velmora::writeStepFile(project + "TEXTLEFT.STP", texts, message) &&
                  velmora::writeMacroFile(project + "DEMO.MAC", demo, message);
  if (!ok) std::fprintf(stderr, "velmora-mksample: %s\n", message.c_str());
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora-mksample DIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const std::string folder = velmora::withTrailingSeparator(argv[1]);
  const std::string project = folder + "SAMPLES/";
  std::error_code ec;
  fs::create_directories(project, ec);
  if (ec) {
    std::fprintf(stderr, "velmora-mksample: cannot create %s: %s\n", project.c_str(), ec.message().c_str());
    return 1;
  }
  for (const auto& entry : fs::directory_iterator(VELMORA_SAMPLES_DIR)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream text(entry.path());
    const std::string target = project + entry.path().stem().string() + ".mus";
    std::string error;
    if (!velmora::writeFileAtomic(target, scoreFromText(text), &error)) {
      std::fprintf(stderr, "velmora-mksample: cannot write %s: %s\n", target.c_str(), error.c_str());
      return 1;
    }
  }
  if (!writeDemoMacro(project)) return 1;
  PrintingHost host;
  velmora::CSettings settings(folder);
  settings.setProjectFolder(project);
  bool ok = true;
  for (auto file : {velmora::SettingsFile::Prefs, velmora::SettingsFile::Optimize, velmora::SettingsFile::Unoptimize,
                    velmora::SettingsFile::Edit, velmora::SettingsFile::Justify, velmora::SettingsFile::Beam,
                    velmora::SettingsFile::Run, velmora::SettingsFile::Crops, velmora::SettingsFile::Report,
                    velmora::SettingsFile::ItemCount})
    ok = settings.save(file, host) && ok;
  return ok ? 0 : 1;
}
