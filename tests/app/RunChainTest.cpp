#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "batch/RunChain.h"
#include "beams/BeamTask.h"
#include "beams/ScriptedBeamDialogs.h"
#include "edit/EditFixtures.h"
#include "edit/EditRun.h"
#include "justify/JustifyHelpers.h"
#include "model/ScoreWriter.h"
#include "staves/Optimize.h"
#include "staves/StaveFixture.h"
#include "staves/Unoptimize.h"

namespace velmora {
namespace {

using namespace test;
using Rows = std::vector<std::string>;

// How a combined run used to hand the items on: through the working file,
// each task reading it and writing it back in place. The reference that the
// chain in memory must match byte for byte.
int workingFileChain(IHost& host, CItemStore& store, const std::vector<ChainLink>& links, const std::string& input,
                     const std::string& extension) {
  const std::string working = outputPathFor(input, kWorkingExtension);
  store.clear();
  ScoreFile file;
  int result = openScoreFile(host, input, store, file);
  if (result != 1) return result;
  OptimizeMarking marking;
  marking.zeroStaffP4 = false;
  result = readOptimize(host, file, store, marking);
  if (result == 1) {
    store.staveFlags.fill(1);
    result = writeStaves(host, store, working);
  }
  store.clear();
  store.staveFlags.fill(0);
  if (result != 1) return 0;
  for (const ChainLink& link : links) {
    result = link.perFile(ScoreIO{working, working});
    if (result != 1) {
      store.clear();
      std::remove(working.c_str());
      return result;
    }
  }
  std::rename(working.c_str(), outputPathFor(input, extension).c_str());
  return 1;
}

enum Stave { NoStave, Optimize, Unoptimize };
enum EditKind { NoEdit, Modifying, Unmodified };

struct Combination {
  Stave stave = NoStave;
  bool beams = false;
  bool justify = false;
  EditKind edit = NoEdit;
};

std::string describe(const Combination& c) {
  return std::string(c.stave == Optimize ? "optimize " : c.stave == Unoptimize ? "unoptimize " : "") +
         (c.beams ? "beams " : "") + (c.justify ? "justify " : "") +
         (c.edit == Modifying ? "edit" : c.edit == Unmodified ? "edit-unmodified" : "");
}

// Everything one run of a chain works on, fresh for each run.
struct ChainTasks {
  ChainTasks(const std::string& project, const std::string& templatePath, const Combination& c)
      : beamRun{host, beamDialogs, store, libraries, groups, project, BeamOptions{}},
        justifyRun{host, justifyDialogs, justifyOptions, batch} {
    if (c.stave == Optimize)
      links.push_back({Task::Optimize, {}, [this](const ScoreIO& io) {
                         OptimizeContext context{host, staveDialogs, store, optimizeOptions, optimizeBatch};
                         return optimizeFile(context, io);
                       }});
    if (c.stave == Unoptimize) {
      EXPECT_TRUE(loadTemplate(host, templatePath, tpl));
      links.push_back({Task::Unoptimize, {}, [this](const ScoreIO& io) {
                         UnoptimizeContext context{host, staveDialogs, store, unoptimizeOptions, tpl};
                         return unoptimizeFile(context, io);
                       }});
    }
    if (c.beams)
      links.push_back({Task::SetBeamAngles, {}, [this](const ScoreIO& io) { return setBeamAnglesInFile(beamRun, io); }});
    if (c.justify)
      links.push_back(
          {Task::Justify, {}, [this](const ScoreIO& io) { return justifyFile(justifyRun, store, io); }});
    if (c.edit != NoEdit) {
      editOptions.saveOnlyIfModified = c.edit == Unmodified;
      const std::string macro = c.edit == Unmodified ? "NONE" : "M";
      links.push_back({Task::Edit, {}, [this, project, macro](const ScoreIO& io) {
                         CEditRun edit(EditRunContext{host, editDialogs, store, candidates, editOptions, project, batch});
                         return edit.editFile(macro, io);
                       }});
    }
  }

  FakeHost host;
  CBatchState batch;
  CItemStore store;
  ScriptedStaveDialogs staveDialogs;
  ScriptedBeamDialogs beamDialogs;
  ScriptedJustifyDialogs justifyDialogs;
  ScriptedEditDialogs editDialogs;
  OptimizeOptions optimizeOptions;
  COptimizeBatch optimizeBatch;
  UnoptimizeOptions unoptimizeOptions;
  CUnoptimizeTemplate tpl;
  CBeamLibraries libraries;
  CBeamGroups groups;
  BeamRun beamRun;
  JustifyOptions justifyOptions;
  JustifyRun justifyRun;
  EditOptions editOptions;
  CCandidateSets candidates;
  std::vector<ChainLink> links;
};

// A copy of a SCORE file whose staff items carry their stave as instrument
// number (P9), so that Unoptimize finds them in a template made the same way.
void writeWithInstruments(const std::string& from, const std::string& to) {
  FakeHost host;
  CItemStore store;
  ASSERT_EQ(openAndReadGeneral(host, from, store), 1) << from;
  for (int l = 0; l < kPlacedList; ++l)
    for (CItem& item : store.list(l))
      if (item.code() == 8.0f) {
        if (item.count() < 9) store.headerWord += 9 - item.count();
        item.params().setAtGrow(8, static_cast<float>(l + 1));
      }
  store.staveFlags.fill(1);
  ASSERT_EQ(writeStaves(host, store, to), 1);
}

class RunChainTest : public ::testing::Test {
protected:
  void SetUp() override {
    project = projectDir.path();
    writeStep(project, "NOTES", {"", "1", "P4 > 5", "9 = 77", 0});
    writeStep(project, "TEXTS", {"", "16", "", "DEL", 0});
    writeStep(project, "ZERO", {"", "1", "", "7 = 0", 0});
    writeMacro(project, "M", {"NOTES", "TEXTS", "ZERO"});
    writeStep(project, "NEVER", {"", "1", "P4 > 100000", "9 = 1", 0});
    writeMacro(project, "NONE", {"NEVER"});
  }
  std::string project;
  TempDir projectDir;
};

// Generated pages with what the corpus may lack: a stave without notes (its
// barline and anchored text move), trailing zeros, a beam over its notes.
const char* kGenerated[] = {
    "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n14 1 30 3 0 0\n8 2 0 0 0 0 0 0 20\n16 2 12 0 0 100 0 0 0 0 0 1 65\n"
    "8 3 0 0 0 0 0 0 30\n1 3 10 6 10 0 1 0 0\n1 3 11 6 10 0 1\n",
    "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n1 1 20 5 10 0 2\n6 1 10 9 0 20 12 0 0\n1 1 30 3 10 0 1\n14 1 40 0\n"
    "8 2 0 2 0 0 0 0 20\n1 2 10.5 4 10 0 1\n",
};

TEST_F(RunChainTest, EveryCombinationGivesTheBytesOfTheWorkingFileChain) {
  TempDir inputs;
  std::vector<std::string> names;
  if (!corpusDir().empty())
    for (const char* name : {"chor005", "chopin2801", "epsgraph", "ex1"}) {
      writeWithInstruments(corpusDir() + name + ".mus", inputs.file(std::string(name) + ".mus"));
      names.push_back(name);
    }
  for (size_t i = 0; i < std::size(kGenerated); ++i) {
    const std::string name = "gen" + std::to_string(i);
    writeWithInstruments([&] {
      const std::string raw = inputs.file(name + ".raw");
      writeBytes(raw, buildScore(kGenerated[i]));
      return raw;
    }(), inputs.file(name + ".mus"));
    names.push_back(name);
  }
  // The template has every stave of the biggest page; the others gain staves.
  const std::string templatePath = inputs.file(names.front() + ".mus");

  int compared = 0;
  for (int stave : {NoStave, Optimize, Unoptimize})
    for (bool beams : {false, true})
      for (bool justify : {false, true})
        for (int edit : {NoEdit, Modifying, Unmodified}) {
          const Combination c{static_cast<Stave>(stave), beams, justify, static_cast<EditKind>(edit)};
          for (const std::string& name : names) {
            SCOPED_TRACE(describe(c) + " on " + name);
            TempDir oldDir, newDir;
            const std::string oldIn = oldDir.file(name + ".mus"), newIn = newDir.file(name + ".mus");
            std::filesystem::copy_file(inputs.file(name + ".mus"), oldIn);
            std::filesystem::copy_file(inputs.file(name + ".mus"), newIn);
            ChainTasks before(project, templatePath, c), now(project, templatePath, c);
            const int expected = workingFileChain(before.host, before.store, before.links, oldIn, "RUN");
            CRunChain chain(now.host, now.batch, now.store, now.links);
            EXPECT_EQ(chain.runFile(newIn, "RUN"), expected);
            // Messages named the working file; now they name the input.
            Rows messages = before.host.messages;
            for (std::string& m : messages)
              for (size_t at; (at = m.find(oldDir.file(name + ".000"))) != std::string::npos;)
                m.replace(at, oldDir.file(name + ".000").size(), newIn);
            for (std::string& m : messages)
              for (size_t at; (at = m.find(oldIn)) != std::string::npos;)
                m.replace(at, oldIn.size(), newIn);
            EXPECT_EQ(now.host.messages, messages);
            EXPECT_EQ(newDir.listing(), oldDir.listing());
            if (expected == 1) {
              EXPECT_EQ(readBytes(newDir.file(name + ".RUN")), readBytes(oldDir.file(name + ".RUN")));
              ++compared;
            }
            EXPECT_EQ(readBytes(newIn), readBytes(inputs.file(name + ".mus")));
            EXPECT_EQ(now.editDialogs.prompts.size(), before.editDialogs.prompts.size());
            EXPECT_EQ(now.beamDialogs.questions.size(), before.beamDialogs.questions.size());
          }
        }
  // Most combinations run to the end; a few refusals are compared as refusals.
  EXPECT_GT(compared, 36 * static_cast<int>(names.size()) / 2);
}

// A stop anywhere in the chain leaves the input as it was and nothing beside it.
TEST_F(RunChainTest, AStopInAnyTaskLeavesTheInputAndNoWorkingFile) {
  const Combination all{Optimize, true, true, Modifying};
  const std::string score = "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n1 2 10 4 10 0 1\n";
  for (size_t stopAt = 0; stopAt <= 4; ++stopAt) {
    SCOPED_TRACE(stopAt);
    TempDir dir;
    const std::string in = dir.file("a.mus");
    writeBytes(in, buildScore(score));
    ChainTasks tasks(project, "", all);
    Rows expectedRows;
    if (stopAt == 0) {
      // Refused before its first task: that task's row is there all the same.
      Bytes just = buildScore(score);
      const int32_t marker = kJustMarker;
      std::memcpy(just.data(), &marker, 4);
      writeBytes(in, just);
      expectedRows = {"Optimizing " + in};
    } else {
      // The user types a key at the first pump of the task, and confirms.
      ChainLink& link = tasks.links[stopAt - 1];
      link.perFile = [&tasks, routine = link.perFile](const ScoreIO& io) {
        tasks.host.keyAtPump.insert(tasks.host.pumps + 1);
        tasks.host.defaultYes = true;
        return routine(io);
      };
    }
    const Bytes original = readBytes(in);
    CRunChain chain(tasks.host, tasks.batch, tasks.store, tasks.links);
    EXPECT_EQ(chain.runFile(in, "RUN"), 0);
    EXPECT_EQ(readBytes(in), original);
    EXPECT_EQ(dir.listing(), "a.mus");
    EXPECT_TRUE(tasks.store.empty());
    if (stopAt == 0) {
      EXPECT_EQ(tasks.batch.log.rows(), expectedRows);
    } else {
      EXPECT_EQ(tasks.batch.log.rows().size(), stopAt);
    }
  }
}

TEST_F(RunChainTest, AFileUnderTheWorkingNameIsTheUsersAndStopsTheRun) {
  TempDir dir;
  writeBytes(dir.file("song.mus"), buildScore("1 1 10 4"));
  writeBytes(dir.file("song.000"), {1, 2, 3});
  ChainTasks tasks(project, "", Combination{Optimize, false, false, NoEdit});
  CRunChain chain(tasks.host, tasks.batch, tasks.store, tasks.links);
  EXPECT_EQ(chain.runFile(dir.file("song.mus"), "RUN"), 0);
  EXPECT_EQ(tasks.host.messages,
            Rows{dir.file("song.mus") + " cannot be run with multiple tasks: a file named like its working file, " +
                 dir.file("song.000") + ", already exists. Move or rename that file and try again."});
  EXPECT_EQ(tasks.batch.log.rows(), Rows{"Optimizing " + dir.file("song.mus")});
  EXPECT_EQ(readBytes(dir.file("song.000")), (Bytes{1, 2, 3}));
  EXPECT_EQ(dir.listing(), "song.000 song.mus");
}

} // namespace
} // namespace velmora
