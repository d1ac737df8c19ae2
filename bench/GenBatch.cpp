// velmora-bench-gen DIR [FILES [CORPUS]]: a settings folder with a project, and
// a batch of generated pages for the end-to-end figures; with CORPUS, also a
// batch of real pages copied from the SCORE files there.
//   DIR/settings/        settings files; the project folder BENCH/ holds the
//                        macros ONESTEP (one assignment), COMPSTEP (a COMP
//                        step) and the Unoptimize template TEMPLATE.TPL
//   DIR/batch/NNNN.mus   FILES pages (default 400) of 10 staves, about 20 KB each
//   DIR/large.mus        the largest page a header can describe
//   DIR/comp16k.mus      16,000 short items for the COMP step
//   DIR/real/NNNN.mus    FILES copies of CORPUS's pages of 1 KB and more, in turn
//   DIR/real-inst/       the same pages, their staff items numbered as
//                        instruments by stave (P9), for Unoptimize with the
//                        template BENCH/REALTPL.TPL (the biggest page's staves)
//
// velmora-bench-gen --durable-copy DEST FILE...: the durable copy the synced
// figures are measured against. Each file is read whole, written to a new
// file in DEST, synced and renamed to its own name there, one after another.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "edit/MacroFiles.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"
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

// The real-page batches; false when a page cannot be read or written.
bool writeRealPages(const std::string& corpus, const std::string& root, const std::string& project, int files) {
  namespace fs = std::filesystem;
  const std::vector<std::string> pages = bench::corpusPages(corpus);
  std::error_code ec;
  if (pages.empty()) {
    std::fprintf(stderr, "velmora-bench-gen: no SCORE pages in %s\n", corpus.c_str());
    return false;
  }
  fs::create_directories(root + "real", ec);
  fs::create_directories(root + "real-inst", ec);
  bench::SilentHost host;
  size_t mostStaves = 0;
  for (size_t p = 0; p < pages.size(); ++p) {
    CItemStore store;
    if (openAndReadGeneral(host, pages[p], store) != 1) {
      std::fprintf(stderr, "velmora-bench-gen: cannot read %s\n", pages[p].c_str());
      return false;
    }
    std::vector<std::vector<float>> staffItems;
    for (int l = 0; l < kPlacedList; ++l)
      for (CItem& item : store.list(l))
        if (item.code() == 8.0f) {
          if (item.count() < 9) store.headerWord += 9 - item.count();
          item.params().setAtGrow(8, static_cast<float>(l + 1));
          staffItems.emplace_back(item.params().values().begin(), item.params().values().end());
        }
    store.staveFlags.fill(1);
    const std::string numbered = root + "real-inst/page" + std::to_string(p) + ".mus";
    if (writeStaves(host, store, numbered) != 1) return false;
    if (staffItems.size() > mostStaves) {
      mostStaves = staffItems.size();
      if (!writeBytes(project + "REALTPL.TPL", bench::scoreBytes(staffItems))) return false;
    }
  }
  for (int i = 0; i < files; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d.mus", i);
    const size_t p = static_cast<size_t>(i) % pages.size();
    fs::copy_file(pages[p], root + "real/" + name, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::copy_file(root + "real-inst/page" + std::to_string(p) + ".mus", root + "real-inst/" + name, ec);
    if (ec) {
      std::fprintf(stderr, "velmora-bench-gen: cannot copy %s: %s\n", pages[p].c_str(), ec.message().c_str());
      return false;
    }
    fs::permissions(root + "real/" + name, fs::perms::owner_write, fs::perm_options::add, ec);
  }
  for (size_t p = 0; p < pages.size(); ++p)
    fs::remove(root + "real-inst/page" + std::to_string(p) + ".mus", ec);
  return true;
}

bool durableCopy(const std::string& dest, const std::string& from) {
  std::ifstream in(from, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string name = std::filesystem::path(from).filename().string();
  const std::string temp = dest + "/." + name + ".tmp", target = dest + "/" + name;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  bool ok = in.good() || in.eof();
  ok = ok && fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ok = ok && ::fsync(fd) == 0;
  ok = fd >= 0 && ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) std::fprintf(stderr, "velmora-bench-gen: cannot copy %s: %s\n", from.c_str(), std::strerror(errno));
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--durable-copy") == 0) {
    for (int i = 3; i < argc; ++i)
      if (!durableCopy(argv[2], argv[i])) return 1;
    return 0;
  }
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: velmora-bench-gen DIR [FILES [CORPUS]]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const std::string root = fs::absolute(argv[1]).string() + "/";
  const int files = argc >= 3 ? std::atoi(argv[2]) : 400;
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
  if (argc == 4) ok = ok && writeRealPages(argv[3], root, project, files);
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
