// velmora-bench-gen DIR [FILES]: a settings folder with a project, and a batch
// of generated pages for the end-to-end figures.
//   DIR/settings/        settings files; the project folder BENCH/ holds the
//                        macros ONESTEP (one assignment), COMPSTEP (a COMP
//                        step) and the Unoptimize template TEMPLATE.TPL
//   DIR/batch/NNNN.mus   FILES pages (default 400) of 10 staves, about 20 KB each
//   DIR/large.mus        the largest page a header can describe
//   DIR/comp16k.mus      16,000 short items for the COMP step
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "edit/MacroFiles.h"
#include "settings/Settings.h"

namespace {

using namespace velmora;

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::fprintf(stderr, "velmora-bench-gen: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

bool writeMacros(const std::string& project) {
  const StepData stems{"Stems down on high notes", "1", "P4 >= 8 && P5 == 10", "5 = 20", 0};
  const StepData comp{"Each beam above its left note", "6", "COMP[1] == 1 && COMP[2] == P2 && COMP[3] == P3",
                      "4 = COMP[4] + 7", 0};
  const StepData compShort{"Notes under a beam", "1", "COMP[1] == 6 && COMP[2] == P2 && COMP[3] == P3", "3 = P3", 0};
  std::string message;
  const bool ok =
      writeStepFile(project + "STEMS.STP", stems, message) && writeStepFile(project + "BEAMLEFT.STP", comp, message) &&
      writeStepFile(project + "UNDERBM.STP", compShort, message) &&
      writeMacroFile(project + "ONESTEP.MAC", MacroData{"One assignment", {"STEMS"}}, message) &&
      writeMacroFile(project + "COMPSTEP.MAC", MacroData{"A COMP step", {"BEAMLEFT"}}, message) &&
      writeMacroFile(project + "COMPBIG.MAC", MacroData{"A COMP step on short items", {"UNDERBM"}}, message);
  if (!ok) std::fprintf(stderr, "velmora-bench-gen: %s\n", message.c_str());
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: velmora-bench-gen DIR [FILES]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const std::string root = fs::absolute(argv[1]).string() + "/";
  const int files = argc == 3 ? std::atoi(argv[2]) : 400;
  const std::string settingsFolder = root + "settings/";
  const std::string project = settingsFolder + "BENCH/";
  const std::string batch = root + "batch/";
  std::error_code ec;
  fs::create_directories(project, ec);
  fs::create_directories(batch, ec);
  if (ec) {
    std::fprintf(stderr, "velmora-bench-gen: cannot create %s: %s\n", root.c_str(), ec.message().c_str());
    return 1;
  }

  bool ok = writeMacros(project);
  for (int i = 0; i < files && ok; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d.mus", i);
    // Pages differ in length, as the pages of a real batch do.
    const bench::PageShape shape{10, 4 + i % 5, static_cast<unsigned>(i + 1)};
    ok = writeBytes(batch + name, bench::scoreBytes(bench::pageItems(shape)));
  }
  std::vector<std::vector<float>> staffItems;
  for (const auto& item : bench::pageItems(bench::PageShape{10, 0, 1}))
    if (item[0] == 8.0f) staffItems.push_back(item);
  ok = ok && writeBytes(project + "TEMPLATE.TPL", bench::scoreBytes(staffItems));
  ok = ok && writeBytes(root + "large.mus", bench::scoreBytes(bench::pageItems(bench::largePage())));
  ok = ok && writeBytes(root + "comp16k.mus", bench::scoreBytes(bench::compItems(16000)));
  if (!ok) return 1;

  bench::SilentHost host;
  CSettings settings(settingsFolder);
  settings.setProjectFolder(project);
  // Run Multiple Tasks chains Optimize, Set Beam Angles, Justify and Edit.
  settings.run().runStaveTask = 1;
  settings.run().runBeamAngles = 1;
  settings.run().runJustify = 1;
  settings.run().runEdit = 1;
  for (auto file : {SettingsFile::Prefs, SettingsFile::Optimize, SettingsFile::Unoptimize, SettingsFile::Edit,
                    SettingsFile::Justify, SettingsFile::Beam, SettingsFile::Run, SettingsFile::Crops,
                    SettingsFile::Report, SettingsFile::ItemCount})
    ok = settings.save(file, host) && ok;
  for (const std::string& m : host.messages)
    std::fprintf(stderr, "velmora-bench-gen: %s\n", m.c_str());
  return ok ? 0 : 1;
}
