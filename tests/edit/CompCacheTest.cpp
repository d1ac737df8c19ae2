// Shared COMP results must give exactly what filtering every candidate gives:
// random conditions and steps over random files, evaluated both ways.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "base/ByteReader.h"
#include "edit/Condition.h"
#include "edit/EditFixtures.h"
#include "model/ScoreWriter.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using Items = std::vector<std::vector<float>>;

// Values that meet often, sit on rounding edges, or leave the exact range.
float value(std::mt19937& rng) {
  static const float pool[] = {0,    1,     2,       3,       4,        5,       6,        8,
                               10,   0.5f,  1.0005f, 1.0004f, 1.00049f, -2.5f,   -0.0005f, 12.25f,
                               1e8f, -1e8f, 7.9999f, 0.0004f, -0.0004f, 0.0001f, -0.0f};
  std::uniform_int_distribution<size_t> pick(0, std::size(pool));
  const size_t i = pick(rng);
  return i == std::size(pool) ? std::numeric_limits<float>::quiet_NaN() : pool[i];
}

Items randomItems(std::mt19937& rng, int count) {
  static const float codes[] = {1, 1, 1, 5, 6, 8, 14, 16};
  std::uniform_int_distribution<size_t> code(0, std::size(codes) - 1);
  std::uniform_int_distribution<int> stave(1, 4), p3(0, 12), extra(0, 6);
  Items items;
  for (int i = 0; i < count; ++i) {
    std::vector<float> p{codes[code(rng)], static_cast<float>(stave(rng)), static_cast<float>(p3(rng))};
    for (int n = extra(rng); n > 0; --n)
      p.push_back(value(rng));
    items.push_back(p);
  }
  return items;
}

std::string pickOf(std::mt19937& rng, const std::vector<std::string>& choices) {
  std::uniform_int_distribution<size_t> pick(0, choices.size() - 1);
  return choices[pick(rng)];
}

std::string compSide(std::mt19937& rng) {
  return pickOf(rng, {"", "", "", "-", "%", "#"}) + pickOf(rng, {"COMP", "COMP", "COMP", "COMP2", "COMP3"}) + "[" +
         std::to_string(std::uniform_int_distribution<int>(1, 8)(rng)) + "]";
}

std::string otherSide(std::mt19937& rng) {
  const int p = std::uniform_int_distribution<int>(1, 8)(rng);
  switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
  case 0: return "P" + std::to_string(p);
  case 1: return "-P" + std::to_string(p);
  case 2: return compSide(rng);
  case 3: return "P3 + 1";
  default: return pickOf(rng, {"0", "1", "2", "3", "6", "1.0005", "12.25", "100000000"});
  }
}

std::string randomCondition(std::mt19937& rng) {
  std::string text;
  const int terms = std::uniform_int_distribution<int>(1, 4)(rng);
  for (int t = 0; t < terms; ++t) {
    if (t > 0) text += pickOf(rng, {" && ", " && ", " || "});
    const std::string op = pickOf(rng, {"==", "==", "!=", "<", ">", "<=", ">="});
    std::string term = std::uniform_int_distribution<int>(0, 5)(rng) == 0 ? "P4 " + op + " 3"
                       : std::uniform_int_distribution<int>(0, 3)(rng) == 0
                           ? otherSide(rng) + " " + op + " " + compSide(rng)
                           : compSide(rng) + " " + op + " " + otherSide(rng);
    if (std::uniform_int_distribution<int>(0, 6)(rng) == 0) term = "(" + term + " || P1 == 14)";
    text += term;
  }
  return text;
}

std::vector<uint8_t> plainBytes(CItemStore& store) {
  test::FakeHost host;
  ByteWriter out;
  encodePlain(host, store, "out.edi", out);
  return out.buffer();
}

// Every item evaluated with a cache and without, and every third item changed
// in place afterwards, as an operation would change it.
void expectSameAsDirect(CItemStore& store, const std::string& argument, std::mt19937& rng) {
  std::vector<const CItem*> wholeFile;
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& i : store.list(l))
      wholeFile.push_back(&i);
  const CCondition condition(argument);
  CCompCache cache;
  cache.minSource = 0;
  cache.setFileItems(wholeFile.size());
  CCandidateSets shared, direct;
  ConditionContext withCache{store, shared, false, &wholeFile, &cache};
  ConditionContext without{store, direct, false, &wholeFile, nullptr};
  for (size_t i = 0; i < wholeFile.size(); ++i) {
    CItem& item = const_cast<CItem&>(*wholeFile[i]);
    const bool a = condition.evaluate(item, 1, withCache);
    const bool b = condition.evaluate(item, 1, without);
    ASSERT_EQ(a, b) << argument << " on item " << i;
    for (size_t x = 0; x < 3; ++x) {
      ASSERT_EQ(shared.sets[x].items(store), direct.sets[x].items(store)) << argument << " set " << x;
      ASSERT_EQ(shared.sets[x].first(store), direct.sets[x].first(store)) << argument;
    }
    if (i % 3 == 0) {
      item.params().setAtGrow(std::uniform_int_distribution<int32_t>(0, 7)(rng), value(rng));
      cache.changed(item, i);
    }
  }
}

TEST(CompCache, ConditionsGiveTheSameSetsWithAndWithoutSharing) {
  std::mt19937 rng(7);
  // Terms on the whole file that differ in one thing only, so that a result
  // shared between them would show.
  const std::vector<std::string> pairs{"COMP[1] == COMP[3] && COMP2[1] == COMP2[4]",
                                       "COMP[3] == COMP[4] && COMP2[5] == COMP2[4]",
                                       "COMP[3] == 5 && -COMP2[3] == 5",
                                       "COMP[4] == 0 && %COMP2[4] == 0",
                                       "COMP[4] == 0 && #COMP2[4] == 0",
                                       "%COMP[4] == 0.5 && #COMP2[4] == 0.5",
                                       "COMP[3] >= %COMP[4] && COMP2[3] >= #COMP2[4]",
                                       "COMP[3] > P4 && COMP2[3] >= P4",
                                       "COMP[3] == -COMP[4] && COMP2[3] == COMP2[4]",
                                       "COMP[4] == P5 && COMP2[4] == -P5",
                                       "P7 == COMP[3] && P6 == COMP2[3]",
                                       "COMP[6] == 0 && COMP2[6] == 0.0004",
                                       "COMP[6] < 0 && COMP2[6] < -0.0004",
                                       "COMP[5] == P3 + 1 && COMP2[5] == P3"};
  for (int round = 0; round < 6; ++round) {
    CItemStore store;
    for (const auto& p : randomItems(rng, 150))
      store.addItem(p);
    for (const std::string& argument : pairs)
      expectSameAsDirect(store, argument, rng);
  }
  // Random conditions over random files.
  for (int round = 0; round < 60; ++round) {
    CItemStore store;
    for (const auto& p : randomItems(rng, 150))
      store.addItem(p);
    for (int c = 0; c < 8; ++c)
      expectSameAsDirect(store, randomCondition(rng), rng);
  }
}

// Whole steps with operations that change the items they match: the files
// come out byte for byte the same.
TEST(CompCache, StepsWriteTheSameFilesWithAndWithoutSharing) {
  std::mt19937 rng(11);
  // The file APP appends.
  test::TempDir project;
  test::writeBytes(project.file("TAIL.MUS"), test::buildScore(randomItems(rng, 20)));
  const std::vector<std::string> operations{"4 = COMP[4] + 1",
                                            "5 += 1",
                                            "3 = COMP2[3]",
                                            "6 = P6 * 2",
                                            "2 = COMP[2]",
                                            "7 = 1 8 = 2",
                                            "1 = COMP[1]",
                                            "3 = COMP[3] + 0.0005",
                                            "DEL",
                                            "INS[1, P2, COMP[3]]",
                                            "INS[COMP[1], COMP[2], P3 + 1, COMP2[4]]",
                                            "5 = 1 INS[6, 1, 2]",
                                            "APP[TAIL.MUS, A]"};
  const auto expectSameOutput = [&](const ScoreFile& file, const StepData& step) {
    std::vector<uint8_t> outputs[2];
    for (int way = 0; way < 2; ++way) {
      test::FakeHost host;
      test::ScriptedEditDialogs dialogs;
      CItemStore store;
      CCandidateSets candidates;
      EditOptions options;
      CBatchState batch;
      ASSERT_EQ(openScoreBytes(host, store, file), 1);
      ASSERT_EQ(readGeneral(host, file, store), 1);
      CEditRun run(EditRunContext{host, dialogs, store, candidates, options, project.path(), batch});
      run.setCompCacheMinSource(way == 0 ? 0 : std::numeric_limits<size_t>::max());
      bool modified = false;
      ASSERT_EQ(run.runStep(step, "a.mus", modified), 1) << step.argument;
      outputs[way] = plainBytes(store);
    }
    ASSERT_EQ(test::hexDump(outputs[0]), test::hexDump(outputs[1])) << step.argument << " / " << step.operation;
  };
  // Steps whose later decisions rest on the items earlier ones deleted, added or changed.
  const std::vector<StepData> chained{{"", "1", "COMP[1] == 1 && COMP[2] == P2", "DEL", 0},
                                      {"", "1 5", "COMP[1] == 1 && COMP[2] == P2 && COMP[3] >= P3", "DEL", 0},
                                      {"", "1", "COMP[1] == 1 && COMP[3] == P3 + 1", "INS[1, P2, P3 + 2]", 0},
                                      {"", "6", "COMP[1] == 6 || COMP[1] == 5", "INS[6, P2, P3] 4 = 99", 0},
                                      {"", "1", "COMP[1] == 1 && COMP[4] == P4", "4 += 1", 0},
                                      {"", "99", "COMP[1] == 14 && COMP[2] == P2", "1 = 14", 0}};
  for (int round = 0; round < 80; ++round) {
    const ScoreFile file{"a.mus", test::buildScore(randomItems(rng, 200))};
    if (round % 8 == 0)
      for (const StepData& step : chained)
        expectSameOutput(file, step);
    expectSameOutput(
        file, StepData{"", pickOf(rng, {"1", "99", "1 5", "6"}), randomCondition(rng), pickOf(rng, operations), 0});
  }
}

} // namespace
} // namespace velmora
