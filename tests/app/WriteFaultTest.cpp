#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "app/Report.h"
#include "base/FileSystem.h"
#include "batch/BatchRunner.h"
#include "batch/RunChain.h"
#include "beams/BeamLibrary.h"
#include "edit/MacroFiles.h"
#include "eps/BoxFile.h"
#include "eps/CropSettings.h"
#include "eps/EpsTools.h"
#include "justify/JustifySettings.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/Faults.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using Fault = test::InjectedFault::Kind;
using Snapshot = std::map<std::string, std::vector<uint8_t>>;

// Every file of the folder with its bytes.
Snapshot snapshot(const std::string& folder) {
  Snapshot files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename().string()] = test::readBytes(entry.path().string());
  return files;
}

void writeText(const std::string& path, const std::string& text) {
  test::writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string lines(const std::vector<std::string>& text) {
  std::string out;
  for (const auto& l : text)
    out += l + "\r\n";
  return out;
}

std::vector<std::string> scorePage(const std::string& title) {
  return {"%!PS-Adobe-2.0 EPSF-1.2",
          "%%Creator: SCORE (tm) Ver. 4.00, Serial #4009999",
          "%%Title: " + title,
          "%%BoundingBox: 100 100 400 600",
          "%%EndComments",
          " save",
          "showpage",
          "%%Trailer",
          "%%DocumentFonts: Times-Italic",
          "%%+ Times-Bold"};
}

struct BoxOk : IEpsDialogs {
  BoxAnswer alterBoundingBox(BoxDialogData& data) override {
    data.fields = {"+1", "+1", "+1", "+1"};
    return BoxAnswer::Ok;
  }
  bool cropMarkSettings(CropDialogData&) override { return true; }
};

// Every selection empty: the report lists what needs no dialog.
struct NoSelection : IReportDialogs {
  bool createReport(ReportOptions&) override { return true; }
  bool selectForReport(const FileSelectionRequest&, std::vector<std::string>&) override { return true; }
};

// One writer: what the folder holds before, the write (true when it reports
// success), and the text its failure message must contain.
struct Writer {
  const char* name;
  std::function<void(const std::string& folder)> seed;
  std::function<bool(const std::string& folder, test::FakeHost& host)> write;
  std::function<std::string(const std::string& folder)> named;
};

std::vector<Writer> writers() {
  const auto plainOrStaves = [](bool staves) {
    return [staves](const std::string& folder, test::FakeHost& host) {
      CItemStore store;
      if (openAndReadGeneral(host, folder + "IN.MUS", store) != 1) return true;
      store.staveFlags.fill(1);
      const std::string out = folder + "IN.OUT";
      return (staves ? writeStaves(host, store, out) : writePlain(host, store, out)) == 1;
    };
  };
  const auto seedScores = [](const std::string& folder) {
    test::writeBytes(folder + "IN.MUS", test::buildScore("8 1 0 0 200 0 0 0 9\n1 1 10 4 10\n1 1 20 6 10"));
    test::writeBytes(folder + "IN.OUT", test::buildScore("8 1 0 0 200 0 0 0 9\n1 1 10 4 10"));
  };
  const auto seedPage = [](const std::string& folder) { writeText(folder + "PAGE.EPS", lines(scorePage("SONG.MUS"))); };
  const auto eps = [](std::function<int(CEpsTools&, const std::string&)> tool) {
    return [tool](const std::string& folder, test::FakeHost& host) {
      EpsState state;
      CBatchState batch;
      CEpsTools tools(host, state, batch);
      return tool(tools, folder) == 1;
    };
  };
  const auto path = [](const char* name) { return [name](const std::string& folder) { return folder + name; }; };

  return {
      {"plain SCORE output", seedScores, plainOrStaves(false), path("IN.OUT")},
      {"stave SCORE output", seedScores, plainOrStaves(true), path("IN.OUT")},
      {"EPS crop marks in place", seedPage, eps([](CEpsTools& t, const std::string& f) {
         CropOptions o;
         o.renameToScoreName = 0;
         return t.addCropMarks(o, f + "PAGE.EPS");
       }),
       path("PAGE.EPS")},
      {"EPS bounding box in place", seedPage, eps([](CEpsTools& t, const std::string& f) {
         BoxOk dialogs;
         return t.alterBoundingBox(dialogs, f, f + "PAGE.EPS");
       }),
       path("PAGE.EPS")},
      {"EPS split pages",
       [](const std::string& folder) {
         auto two = scorePage("ONE.MUS");
         for (const auto& l : scorePage("TWO.MUS"))
           two.push_back(l);
         writeText(folder + "BOTH.EPS", lines(two));
       },
       eps([](CEpsTools& t, const std::string& f) { return t.splitPages(f + "BOTH.EPS"); }), path("ONE.EPS")},
      {"font list", [](const std::string& folder) { writeText(folder + "FONTLIST.TXT", "old list\n"); },
       eps([](CEpsTools& t, const std::string& f) {
         writeText(f + "P.EPS", lines(scorePage("SONG.MUS")));
         const int listed = t.listTextFonts(f + "P.EPS");
         std::filesystem::remove(f + "P.EPS");
         return listed == 1 && !t.writeFontList(f).empty() ? 1 : 0;
       }),
       path("FONTLIST.TXT")},
      {"settings file", [](const std::string& folder) { writeText(folder + "edi.dat", "old settings"); },
       [](const std::string& folder, test::FakeHost& host) {
         CSettings settings(folder);
         return settings.save(SettingsFile::Edit, host);
       },
       path("edi.dat")},
      {"macro", [](const std::string& folder) { writeText(folder + "DEMO.MAC", "old macro"); },
       [](const std::string& folder, test::FakeHost& host) {
         return CEditFiles(folder, host).saveMacro("DEMO", MacroData{"new", {"UP", "DOWN"}});
       },
       path("DEMO.MAC")},
      {"step", [](const std::string& folder) { writeText(folder + "UP.STP", "old step"); },
       [](const std::string& folder, test::FakeHost& host) {
         return CEditFiles(folder, host).saveStep("UP", StepData{"raise", "1", "P4 < 9", "4 += 1", 0});
       },
       path("UP.STP")},
      {"beam library",
       [](const std::string& folder) {
         for (int index = 0; index < kBeamLibraryCount; ++index)
           writeText(folder + beamLibraryInfo(index).fileName, "old library");
       },
       [](const std::string& folder, test::FakeHost& host) {
         CBeamLibraries libraries;
         for (int index = 0; index < kBeamLibraryCount; ++index)
           libraries[index].push_back(CBeamAngle{1, 0, 2, 0, 3, 0, 4.5f, 5.5f});
         libraries.saveAll(host, folder);
         return host.messages.empty();
       },
       path("BUP8THS.DAT")},
      {"crop settings file", [](const std::string& folder) { writeText(folder + "A.CRP", "old crop"); },
       [](const std::string& folder, test::FakeHost& host) {
         // The dialog shows the message it gets back.
         std::string message;
         if (saveCropFile(folder + "A.CRP", CropOptions{}, message)) return true;
         host.showMessage(message);
         return false;
       },
       path("A.CRP")},
      {"bounding box file", [](const std::string& folder) { writeText(folder + "A.BBX", "old box"); },
       [](const std::string& folder, test::FakeHost& host) {
         // The dialog shows the message it gets back.
         std::string message;
         if (saveBoxFile(folder + "A.BBX", BoxExpressions{"+20", "*2", "-3", "612"}, message)) return true;
         host.showMessage(message);
         return false;
       },
       path("A.BBX")},
      {"justify settings file", [](const std::string& folder) { writeText(folder + "A.JDT", "old widths"); },
       [](const std::string& folder, test::FakeHost& host) {
         return saveJustifySettingsFile(host, folder + "A.JDT", JustifyOptions{});
       },
       path("A.JDT")},
      {"report", [](const std::string& folder) { writeText(folder + "VELRPT.TXT", "old report"); },
       [](const std::string& folder, test::FakeHost& host) {
         CSettings settings(folder);
         COutputLog log;
         NoSelection dialogs;
         return writeReport(settings, log, host, dialogs) == ReportResult::Written;
       },
       path("VELRPT.TXT")},
  };
}

// Each writer under each fault: the write reports failure, the user is told
// (the message names the file where the writer has one), every file of the
// folder is as it was, and no temporary is left.
TEST(WriteFaults, EveryWriterKeepsOldFilesUnderEveryFault) {
  const std::vector<std::pair<Fault, long long>> faults = {
      {Fault::DiskFullAt, 0}, {Fault::DiskFullAt, 7}, {Fault::OpenFails, 0}, {Fault::RenameFails, 0}};
  int cases = 0;
  for (const Writer& writer : writers()) {
    // Without a fault the writer succeeds, so each fault below is what fails it.
    {
      test::TempDir dir;
      writer.seed(dir.path());
      test::FakeHost host;
      ASSERT_TRUE(writer.write(dir.path(), host)) << writer.name;
    }
    for (const auto& [fault, at] : faults) {
      SCOPED_TRACE(std::string(writer.name) + ", fault " + std::to_string(static_cast<int>(fault)) + " at " +
                   std::to_string(at));
      test::TempDir dir;
      writer.seed(dir.path());
      const Snapshot before = snapshot(dir.path());
      test::FakeHost host;
      bool written;
      {
        test::InjectedFault injected(fault, at);
        written = writer.write(dir.path(), host);
      }
      EXPECT_FALSE(written);
      ASSERT_FALSE(host.messages.empty());
      const std::string target = writer.named(dir.path());
      // The report may first say which settings files it could not read.
      const bool namesTarget = std::any_of(host.messages.begin(), host.messages.end(), [&](const std::string& m) {
        return m.find(target) != std::string::npos || m.find(fileNameOf(target)) != std::string::npos;
      });
      EXPECT_TRUE(namesTarget) << host.messages.back();
      EXPECT_EQ(snapshot(dir.path()), before);
      ++cases;
    }
  }
  EXPECT_EQ(cases, 56);
}

// Each writer writes through a chain of links to the file they name, in that
// file's folder, and leaves a file that has another hard link as it was.
TEST(WriteFaults, EveryWriterWritesThroughLinksAndKeepsHardLinks) {
  namespace fs = std::filesystem;
  int cases = 0;
  for (const Writer& writer : writers()) {
    SCOPED_TRACE(writer.name);
    {
      test::TempDir dir, shared;
      writer.seed(dir.path());
      const std::string target = writer.named(dir.path());
      // A page file is new: there is nothing to link.
      if (!fs::exists(target)) continue;
      const std::string name = fileNameOf(target);
      fs::rename(target, shared.file(name));
      fs::create_symlink(shared.file(name), dir.file("via"));
      fs::create_symlink("via", target);
      const std::vector<uint8_t> old = test::readBytes(shared.file(name));
      test::FakeHost host;
      EXPECT_TRUE(writer.write(dir.path(), host)) << (host.messages.empty() ? "" : host.messages[0]);
      EXPECT_TRUE(fs::is_symlink(target));
      EXPECT_EQ(fs::read_symlink(target), "via");
      EXPECT_NE(test::readBytes(shared.file(name)), old);
      EXPECT_EQ(shared.listing(), name);
    }
    test::TempDir dir, other;
    writer.seed(dir.path());
    const std::string target = writer.named(dir.path());
    fs::create_hard_link(target, other.file("twin"));
    const Snapshot before = snapshot(dir.path());
    test::FakeHost host;
    EXPECT_FALSE(writer.write(dir.path(), host));
    // The libraries keep their own single text for any failed save.
    const std::string expected =
        std::string(writer.name) == "beam library"
            ? "Unable to open file " + target + " for reading"
            : "Unable to write file " + target + ": it has other hard links; it was left unchanged.";
    EXPECT_NE(std::find(host.messages.begin(), host.messages.end(), expected), host.messages.end())
        << (host.messages.empty() ? "" : host.messages.back());
    // The libraries other than the linked one are saved.
    const Snapshot after = snapshot(dir.path());
    if (std::string(writer.name) != "beam library") {
      EXPECT_EQ(after, before);
    }
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after.at(fileNameOf(target)), before.at(fileNameOf(target)));
    EXPECT_EQ(test::readBytes(other.file("twin")), before.at(fileNameOf(target)));
    ++cases;
  }
  EXPECT_EQ(cases, 13);
}

// The EPS rename reports nothing when it fails: the file keeps its old name
// and its bytes, alone in the folder.
TEST(WriteFaults, FailedEpsRenameKeepsTheFileUnderItsName) {
  test::TempDir dir;
  writeText(dir.file("PAGE.EPS"), lines(scorePage("SONG.MUS")));
  const Snapshot before = snapshot(dir.path());
  test::FakeHost host;
  EpsState state;
  CBatchState batch;
  CEpsTools tools(host, state, batch);
  {
    test::InjectedFault injected(Fault::RenameFails);
    EXPECT_EQ(tools.renameToScoreFile(dir.file("PAGE.EPS")), 1);
  }
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(snapshot(dir.path()), before);
  // Without the fault the same file moves.
  EXPECT_EQ(tools.renameToScoreFile(dir.file("PAGE.EPS")), 1);
  EXPECT_EQ(dir.listing(), "SONG.EPS");
}

// Run Multiple Tasks: a failed write of the result leaves nothing (so does a
// result that takes neither its final nor its working name); a failed final
// rename keeps the old result, logs where the new one stays, and goes on.
TEST(WriteFaults, RunChainKeepsTheOldResult) {
  test::TempDir dir;
  const std::vector<uint8_t> old = test::buildScore("8 1 0 0 200 0 0 0 9");
  test::writeBytes(dir.file("IN.MUS"), test::buildScore("8 1 0 0 200 0 0 0 9\n1 1 10 4 10"));
  test::writeBytes(dir.file("IN.RUN"), old);
  const Snapshot before = snapshot(dir.path());
  for (const auto& [fault, at] :
       std::vector<std::pair<Fault, long long>>{{Fault::DiskFullAt, 7}, {Fault::OpenFails, 0}, {Fault::RenameFails, 0}}) {
    test::FakeHost host;
    CBatchState batch;
    CItemStore store;
    CRunChain chain(host, batch, store, {});
    test::InjectedFault injected(fault, at);
    EXPECT_EQ(chain.runFile(dir.file("IN.MUS"), "RUN"), 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(dir.file("IN.MUS")), std::string::npos) << host.messages[0];
    EXPECT_EQ(snapshot(dir.path()), before);
  }
  test::FakeHost host;
  CBatchState batch;
  CItemStore store;
  CRunChain chain(host, batch, store, {});
  {
    // The final rename fails; the working name takes the result.
    test::InjectedFault injected(Fault::OneRenameFails);
    EXPECT_EQ(chain.runFile(dir.file("IN.MUS"), "RUN"), 1);
  }
  EXPECT_EQ(test::readBytes(dir.file("IN.RUN")), old);
  EXPECT_EQ(dir.listing(), "IN.000 IN.MUS IN.RUN");
  ASSERT_FALSE(batch.log.rows().empty());
  EXPECT_EQ(batch.log.rows().back(), "Unable to rename " + dir.file("IN.000") + " to " + dir.file("IN.RUN") +
                                         " (Input/output error); the result stays in " + dir.file("IN.000"));
  CItemStore working;
  EXPECT_EQ(openAndReadGeneral(host, dir.file("IN.000"), working), 1);
}

} // namespace
} // namespace velmora
