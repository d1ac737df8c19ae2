#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "JustifyHelpers.h"
#include "base/Format.h"

namespace velmora {
namespace {

using test::paramsOf;
using test::positions;
using Floats = std::vector<float>;
using Rows = std::vector<std::string>;

constexpr const char* kNotEnoughSpace1 = "!!Not enough space to justify ideally on stave 1.";

// A rest at 10, plain quarter notes at 20 and 22, the barline at 110.
constexpr const char* kWorkedExample = "8 1 0 0 1\n"
                                       "2 1 10 1\n"
                                       "1 1 20 5 10\n"
                                       "1 1 22 5 10\n"
                                       "14 1 110\n";

class JustifyTest : public ::testing::Test {
protected:
  void SetUp() override { options.minimumSpace = 1.0f; }

  int justify(const std::string& path = "/scores/a.mus") {
    JustifyRun run{host, dialogs, options, batch};
    run.prompt = options.promptBeforeOperation != 0;
    const int result = justifyStore(run, store, path);
    promptAfterRun = run.prompt;
    return result;
  }
  void load(const std::string& text) { test::fill(store, text); }

  test::FakeHost host;
  test::ScriptedJustifyDialogs dialogs;
  JustifyOptions options;
  CBatchState batch;
  CItemStore store;
  bool promptAfterRun = false;
};

TEST_F(JustifyTest, WorkedExample) {
  load(kWorkedExample);
  EXPECT_EQ(justify(), 1);
  // o to 19.8, m to 23.8; the rest and the barline stay.
  EXPECT_EQ(positions(store, 1), (Floats{0.0f, 10.0f, 19.8f, 23.8f, 110.0f}));
  EXPECT_TRUE(batch.log.rows().empty());
  EXPECT_TRUE(dialogs.prompts.empty());
  EXPECT_TRUE(host.messages.empty());
  // The next run finds nothing to correct.
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 1), (Floats{0.0f, 10.0f, 19.8f, 23.8f, 110.0f}));
  // 250 staves, one pump each.
  EXPECT_EQ(host.pumps, 500);
}

TEST_F(JustifyTest, GroupsFromTheLeftmostBarline) {
  // A barline of the chosen type on the staff's start gives the group its size.
  load("8 1 0 0 0.8\n14 1 0 3 8\n14 1 0 2\n2 1 15\n14 1 100\n14 1 120\n9 1 30");
  JustifyGroup g = openJustifyGroup(store, 1, options);
  EXPECT_EQ(g.first, 1);
  EXPECT_EQ(g.size, 2);
  EXPECT_EQ(g.left, 15.0);
  EXPECT_EQ(g.right, 120.0);
  EXPECT_FLOAT_EQ(g.staveSize, 0.8f);
  options.barlineType = 8;
  EXPECT_EQ(openJustifyGroup(store, 1, options).size, 3);
  // Without a match the last leftmost barline's span counts.
  options.barlineType = 5;
  EXPECT_EQ(openJustifyGroup(store, 1, options).size, 2);

  // No notes or rests: L = 230; no barline: R = 200; stave size 0 or missing: 1.
  store.clear();
  load("8 2 0 0 0\n8 2 0 0 2\n9 2 30");
  g = openJustifyGroup(store, 2, options);
  EXPECT_EQ(g.left, 230.0);
  EXPECT_EQ(g.right, 200.0);
  EXPECT_EQ(g.staveSize, 1.0);
  EXPECT_EQ(g.size, 1);
  load("8 3 0 0\n8 3 0 0 2\n1 3 250 5\n1 3 40 5\n2 3 30");
  g = openJustifyGroup(store, 3, options);
  EXPECT_EQ(g.staveSize, 2.0);
  EXPECT_EQ(g.left, 30.0);

  // A barline found before the staff item; hostile spans never end a group
  // before its stave or past stave 250.
  load("14 4 0 -3\n8 4 0 0 1");
  EXPECT_EQ(openJustifyGroup(store, 4, options).size, 1);
  load("14 5 0 0.5\n8 5 0 0 1");
  EXPECT_EQ(openJustifyGroup(store, 5, options).size, 1);
  load("8 249 0 0 1\n14 249 0 40");
  EXPECT_EQ(openJustifyGroup(store, 249, options).size, 2);
  load("8 6 0 0 1\n14 6 0 4");
  EXPECT_EQ(openJustifyGroup(store, 6, options).size, 4);
}

TEST_F(JustifyTest, GroupMovesTogetherAndStaysAligned) {
  // Staves 1 and 2 form a group with stave 1's limits; stave 3 is a group of its own.
  load("8 1 0 0 1\n14 1 0 2\n2 1 10 1\n2 1 20 1\n2 1 22 1\n14 1 110\n"
       "8 2 0 0 1\n1 2 20 5 10\n1 2 22 5 10\n14 2 150\n"
       "8 3 0 0 1\n1 3 20 5 10\n1 3 22 5 10\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 1), (Floats{0.0f, 0.0f, 10.0f, 19.8f, 23.8f, 110.0f}));
  EXPECT_EQ(positions(store, 2), (Floats{0.0f, 19.8f, 23.8f, 150.0f}));
  // L = 20 is o itself and R = 200: the right side takes the whole shift.
  EXPECT_EQ(positions(store, 3), (Floats{0.0f, 20.0f, 24.0f}));
  EXPECT_TRUE(batch.log.rows().empty());
}

TEST_F(JustifyTest, LeadInOpensSpaceBeforeTheFirstNoteOrRest) {
  options.extraSpaceFirstNote = 5.0f;
  options.minimumSpace = 0.5f;
  load("8 1 0 0 1\n14 1 0 2\n2 1 10 1\n9 1 5 1\n1 1 60 5 10\n"
       "5 1 60 10 10 100\n5 1 60 10 10 9.99\n5 1 5 10 10 9.97\n"
       "6 1 60 10 10 100 0 0 0 10 70 0 10 -1 80\n14 1 110\n"
       "9 2 60\n9 2 110\n9 2 9\n9 3 60");
  EXPECT_EQ(justify(), 1);
  // P3 + f (R - P3) / (R - L) over L to R, on every stave of the group.
  EXPECT_EQ(positions(store, 1), (Floats{0, 0, 15, 5, 62.5, 62.5, 62.5, 5, 62.5, 110}));
  EXPECT_EQ(positions(store, 2), (Floats{62.5, 110, 9}));
  EXPECT_EQ(positions(store, 3), (Floats{60}));
  // Right ends from L - 0.02 s on; beam secondaries except -1 and 0.
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 5)[5], 100.5f);
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 6)[5], 14.9905f);
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 7)[5], 9.97f);
  EXPECT_EQ(paramsOf(store, 1, 8), (Floats{6, 1, 62.5, 10, 10, 100.5, 0, 0, 0, 10, 72, 0, 10, -1, 81.5}));

  // A stave without notes or rests has L = 230 beyond its barline: nothing moves.
  store.clear();
  load("8 1 0 0 1\n9 1 100\n14 1 150");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 1), (Floats{0, 100, 150}));
}

TEST_F(JustifyTest, CorrectionMovesEndsAndBeamsByTheirThresholds) {
  // Stave size 0.5 and M = 2: D = 0.5, DL = 0.05, DR = 0.45.
  options.minimumSpace = 2.0f;
  load("8 1 0 0 0.5\n2 1 10 1\n1 1 20 5 10\n1 1 22 5 10\n14 1 110\n"
       "5 1 20 10 10 20.01\n5 1 20 10 10 21\n5 1 20 10 10 21.995\n5 1 5 10 10 22.5\n"
       "6 1 20 10 10 22 0 0 0 10 20.015 22.2 10 0 20.015\n"
       "6 1 110 10 10 110 0 0 0 10 20\n"
       "9 1 20.0004\n9 1 21.9996\n9 1 20.0006\n"
       "6 1 20 10 10 22 0 0 0 0 0 0 10 0 21.985\n");
  EXPECT_EQ(justify(), 1);
  const Floats p3 = positions(store, 1);
  ASSERT_EQ(p3.size(), 15u);
  EXPECT_FLOAT_EQ(p3[2], 19.95f);
  EXPECT_FLOAT_EQ(p3[3], 22.45f);
  // Slur ends: up to xo + 0.02 s left, beyond xm - 0.02 s right, between and
  // for items outside L to R unchanged.
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 5)[5], 19.95995f);
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 6)[5], 21.0f);
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 7)[5], 22.4450256f);
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 8)[5], 22.5f);
  // Beams: P11 past xo + 0.02 s stays, P12 goes right, 0 stays, P15's
  // threshold is xo + 0.02 whatever the stave size.
  const Floats beam = paramsOf(store, 1, 9);
  ASSERT_EQ(beam.size(), 15u);
  EXPECT_FLOAT_EQ(beam[2], 19.95f);
  EXPECT_FLOAT_EQ(beam[5], 22.45f);
  EXPECT_FLOAT_EQ(beam[10], 20.015f);
  EXPECT_FLOAT_EQ(beam[11], 22.648977f);
  EXPECT_FLOAT_EQ(beam[13], 0.0f);
  EXPECT_FLOAT_EQ(beam[14], 19.964925f);
  // A beam standing on R keeps its secondaries.
  EXPECT_FLOAT_EQ(paramsOf(store, 1, 10)[10], 20.0f);
  // Positions compare in thousandths: 20.0004 counts as xo, 21.9996 as xm.
  EXPECT_FLOAT_EQ(p3[11], 19.950398f);
  EXPECT_FLOAT_EQ(p3[12], 22.449602f);
  EXPECT_FLOAT_EQ(p3[13], 20.0006f);
  // P15's right threshold is xm - 0.02 s like the others: 21.985 is not beyond 21.99.
  const Floats second = paramsOf(store, 1, 14);
  ASSERT_EQ(second.size(), 15u);
  EXPECT_FLOAT_EQ(second[14], 21.985f);
}

TEST_F(JustifyTest, StavesThatCannotBeCleared) {
  // 100 corrections, each too small, then the line; the stave keeps the last pass.
  options.minimumSpace = 100.0f;
  options.promptBeforeOperation = 1;
  load("8 1 0 0 1\n2 1 10 1\n1 1 10.5 5 10\n1 1 110 5 10\n14 1 110\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(dialogs.prompts.size(), 100u);
  EXPECT_EQ(batch.log.rows(), (Rows{kNotEnoughSpace1}));
  const Floats p3 = positions(store, 1);
  EXPECT_GT(p3[2], 10.0f);
  EXPECT_LT(p3[2], 10.1f);
  EXPECT_EQ(p3[3], 110.0f);

  // o on L and m on R: nothing can move. "Yes" gives the line at once.
  const auto reload = [&](const char* text) {
    store.clear();
    batch.log.clear();
    dialogs.prompts.clear();
    load(text);
  };
  options.minimumSpace = 1.0f;
  constexpr const char* kPinned = "8 2 0 0 1\n1 2 20 5 10\n1 2 22 5 10\n14 2 22\n";
  reload(kPinned);
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 2), (Floats{0, 20, 22, 22}));
  EXPECT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(batch.log.rows(), (Rows{"!!Not enough space to justify ideally on stave 2."}));
  // "No" leaves the pair like any other: the pass ends clean.
  reload(kPinned);
  dialogs.answers = {PromptAnswer::No};
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_TRUE(batch.log.rows().empty());
  // Without the prompt the line comes at once.
  options.promptBeforeOperation = 0;
  reload(kPinned);
  EXPECT_EQ(justify(), 1);
  EXPECT_TRUE(dialogs.prompts.empty());
  EXPECT_EQ(batch.log.rows(), (Rows{"!!Not enough space to justify ideally on stave 2."}));

  // R equal to L: no correction (and no division by zero), asked first when prompting.
  options.promptBeforeOperation = 1;
  reload("2 3 10 1\n14 3 10\n1 3 20 5 10\n1 3 22 5 10\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 3), (Floats{10, 10, 20, 22}));
  EXPECT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(batch.log.rows(), (Rows{"!!Not enough space to justify ideally on stave 3."}));
}

TEST_F(JustifyTest, NotesKeepTheirBarAndOrderWhenRoomRunsOut) {
  options.minimumSpace = 0.5f;
  // Two notes crowding a barline: the second goes toward it, never past.
  load("1 1 10 5 10\n1 1 11 5 10\n14 1 12\n");
  EXPECT_EQ(justify(), 1);
  Floats p3 = positions(store, 1);
  EXPECT_EQ(p3[0], 10.0f);
  EXPECT_GT(p3[1], 11.9f);
  EXPECT_LE(p3[1], 12.0f);
  EXPECT_EQ(p3[2], 12.0f);
  EXPECT_EQ(batch.log.rows(), (Rows{kNotEnoughSpace1}));

  // Ten notes one apart before a barline at 20: every correction squeezes the
  // bar further, so the first spacing stays as the best reached.
  store.clear();
  batch.log.clear();
  std::string ten;
  for (int x = 10; x < 20; ++x)
    ten += "1 1 " + std::to_string(x) + " 5 10\n";
  load(ten + "14 1 20\n");
  EXPECT_EQ(justify(), 1);
  p3 = positions(store, 1);
  EXPECT_EQ(p3, (Floats{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
  EXPECT_EQ(batch.log.rows(), (Rows{kNotEnoughSpace1}));

  // Ends and secondary beam positions off the line stay: P6 = 0 on a code 4
  // item, a beam's P11 left of L and its P12 right of R.
  store.clear();
  batch.log.clear();
  options.minimumSpace = 1.0f;
  load(std::string(kWorkedExample) + "4 1 20 10 10 0\n6 1 20 10 10 22 0 0 0 10 5 130\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(paramsOf(store, 1, 5), (Floats{4, 1, 19.8f, 10, 10, 0}));
  EXPECT_EQ(paramsOf(store, 1, 6), (Floats{6, 1, 19.8f, 10, 10, 23.8f, 0, 0, 0, 10, 5, 130}));
  EXPECT_TRUE(batch.log.rows().empty());
}

TEST_F(JustifyTest, GraceNotesAndChords) {
  // A grace note reaches 1.8: no clash at 2.3 apart with M = 0.5 (needs 0.4).
  options.minimumSpace = 0.5f;
  load("2 1 10 1\n1 1 20 105 10\n1 1 22.3 5 10\n14 1 110\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 1), (Floats{10, 20, 22.3f, 110}));
  // The same pair as normal notes clashes.
  store.clear();
  load("2 1 10 1\n1 1 20 5 10\n1 1 22.3 5 10\n14 1 110\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_NE(positions(store, 1)[2], 20.0f);
  // Notes at one position are never paired.
  store.clear();
  load("2 1 10 1\n1 1 20 5 10\n1 1 20 7 12\n14 1 110\n");
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 1), (Floats{10, 20, 20, 110}));
}

TEST_F(JustifyTest, PromptBeforeEachCorrection) {
  options.promptBeforeOperation = 1;
  const std::string twoStaves = std::string(kWorkedExample) + "2 2 10 1\n1 2 20 5 10\n1 2 22 5 10\n14 2 110\n";

  // "No" leaves the pair: the pass ends clean, without the line.
  load(kWorkedExample);
  dialogs.answers = {PromptAnswer::No};
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 1), (Floats{0, 10, 20, 22, 110}));
  EXPECT_TRUE(batch.log.rows().empty());
  ASSERT_EQ(dialogs.prompts.size(), 1u);
  const JustifyPrompt& p = dialogs.prompts[0];
  EXPECT_EQ(p.title, "Prompt before Operation");
  EXPECT_EQ(p.text, "Conditions are TRUE for the following item in file /scores/a.mus");
  EXPECT_EQ(p.parameters, "1.0000 1.0000 22.0000 5.0000 10.0000 ");
  EXPECT_EQ(p.question, "Do you wish to perform the operation?");
  EXPECT_EQ(p.filePath, "/scores/a.mus");

  // "Yes" corrects and asks again at the next clash.
  store.clear();
  dialogs.prompts.clear();
  load(twoStaves);
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(dialogs.prompts.size(), 2u);
  EXPECT_EQ(positions(store, 2), (Floats{10, 19.8f, 23.8f, 110}));
  EXPECT_TRUE(promptAfterRun);

  // "Yes To All" corrects and stops asking for the rest of the run.
  store.clear();
  dialogs.prompts.clear();
  load(twoStaves);
  dialogs.answers = {PromptAnswer::YesToAll};
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(positions(store, 1), (Floats{0, 10, 19.8f, 23.8f, 110}));
  EXPECT_EQ(positions(store, 2), (Floats{10, 19.8f, 23.8f, 110}));
  EXPECT_FALSE(promptAfterRun);
  EXPECT_EQ(options.promptBeforeOperation, 1);

  // "Cancel" stops at once.
  store.clear();
  dialogs.prompts.clear();
  load(twoStaves);
  dialogs.answers = {PromptAnswer::Cancel};
  EXPECT_EQ(justify(), 0);
  EXPECT_EQ(positions(store, 1), (Floats{0, 10, 20, 22, 110}));
  EXPECT_EQ(dialogs.prompts.size(), 1u);

  // A later prompt on the same stave shows the note where the corrections so
  // far have put it, as the store holds it when the run is cancelled there.
  store.clear();
  dialogs.prompts.clear();
  load("1 1 10 5 10\n1 1 11 5 10\n1 1 12 5 10\n14 1 20\n");
  dialogs.answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
  EXPECT_EQ(justify(), 0);
  ASSERT_EQ(dialogs.prompts.size(), 2u);
  const Floats p3 = positions(store, 1);
  ASSERT_EQ(p3.size(), 4u);
  EXPECT_NE(p3[1], 11.0f);
  std::string second;
  for (float v : paramsOf(store, 1, 2))
    second += strprintf("%.4f ", static_cast<double>(v));
  EXPECT_EQ(dialogs.prompts[1].parameters, second);
}

TEST_F(JustifyTest, CancelAtTheStavePump) {
  load(std::string(kWorkedExample) + "2 3 10 1\n1 3 20 5 10\n1 3 22 5 10\n14 3 110\n");
  host.keyAtPump = {3};
  host.yesNoAnswers = {true};
  EXPECT_EQ(justify(), 0);
  EXPECT_EQ(host.questions, (Rows{"Cancel Action: Do you wish to cancel the current operation?"}));
  // Staves before the cancel were justified, the rest not.
  EXPECT_EQ(positions(store, 1), (Floats{0, 10, 19.8f, 23.8f, 110}));
  EXPECT_EQ(positions(store, 3), (Floats{10, 20, 22, 110}));
  // "No" goes on.
  host.keyAtPump = {host.pumps + 1};
  host.yesNoAnswers = {false};
  EXPECT_EQ(justify(), 1);
  EXPECT_EQ(positions(store, 3), (Floats{10, 19.8f, 23.8f, 110}));
}

TEST_F(JustifyTest, HostileStavesEndWithoutCrashing) {
  const float nan = std::nanf("");
  const float inf = std::numeric_limits<float>::infinity();
  for (const std::vector<std::vector<float>>& items : std::vector<std::vector<std::vector<float>>>{
           {{8, 1, 0, 0, inf}, {2, 1, 10}, {1, 1, 20, 5, 10}, {1, 1, 22, 5, 10}, {14, 1, 110}},
           {{2, 1, nan}, {1, 1, nan, 5, 10}, {1, 1, 22, nan, nan}, {14, 1, nan}, {14, 1, 110}},
           {{2, 1, 10}, {1, 1, 20, 5, 10, 0, 0, 0, 1e38f}, {1, 1, 22, 5, 1e30f}, {14, 1, 110}},
           {{2, 1, -inf}, {1, 1, 20, 5, 10}, {1, 1, 22, 5, 10}, {14, 1, inf}},
           {{1, 1}, {1, 1, 20}, {1, 1, 20.5f}, {14, 1, 0, -1e9f, 1e9f}},
           {{14, 1, 0, 1e5f}, {8, 1, 0, 0, -1}, {2, 1, 10}, {1, 1, 20, 5, 10}, {1, 1, 22, 5, 10}, {14, 1, 110}},
       }) {
    store.clear();
    batch.log.clear();
    for (const auto& p : items)
      store.addItem(p);
    EXPECT_EQ(justify(), 1);
    EXPECT_LE(batch.log.rows().size(), 250u);
  }
}

} // namespace
} // namespace velmora
