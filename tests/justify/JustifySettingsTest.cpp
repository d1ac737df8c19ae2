#include <gtest/gtest.h>

#include <cmath>

#include "justify/JustifySettings.h"
#include "settings/Serialize.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using Rows = std::vector<std::string>;

TEST(JustifySettings, MinimumSpaceOfOneHundredth) {
  test::FakeHost host;
  JustifyOptions options;
  // 0.005 and NaN are refused with the OK/Cancel box, whichever button is pressed.
  for (float refused : {0.005f, 0.0f, -1.0f, std::nanf("")}) {
    options.minimumSpace = refused;
    host.okCancelAnswers = {false};
    EXPECT_FALSE(acceptJustifySettings(host, options)) << refused;
  }
  EXPECT_EQ(host.questions.size(), 4u);
  EXPECT_EQ(host.questions[0], "OK/Cancel: Value for minimum justify space must be >= 0.01");
  // A typed 0.01 is the float 0.01 and passes.
  host.questions.clear();
  for (float accepted : {0.01f, 0.5f, 1000.0f}) {
    options.minimumSpace = accepted;
    EXPECT_TRUE(acceptJustifySettings(host, options)) << accepted;
  }
  EXPECT_TRUE(host.questions.empty());
}

TEST(JustifySettings, WidthsInDialogOrderWithNoteFlagStoredLast) {
  const auto labels = justifyWidthLabels();
  EXPECT_STREQ(labels[0].group, "Noteheads");
  EXPECT_STREQ(labels[11].label, "3/4 sharp");
  EXPECT_STREQ(labels[12].group, "Ledger lines (one side only)");
  EXPECT_STREQ(labels[15].label, "Rhythm dot");
  EXPECT_STREQ(labels[16].label, "Note flag");
  EXPECT_STREQ(labels[17].label, "Note parenthesis");
  EXPECT_STREQ(labels[18].label, "Accidental parenthesis");
  EXPECT_EQ(justifyWidthValues(JustifyOptions{}), justifyResetWidths());

  JustifyOptions options;
  JustifyWidthValues values{};
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = 10.0f + static_cast<float>(i);
  setJustifyWidthValues(options, values);
  EXPECT_EQ(options.rhythmDot, 25.0f);
  EXPECT_EQ(options.noteFlag, 26.0f);
  EXPECT_EQ(options.noteParenthesis, 27.0f);
  EXPECT_EQ(justifyWidthValues(options), values);
  // In the file the flag width comes after the barline type.
  const auto bytes = storeRecord(options);
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()), test::f32Bytes(26.0f));
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 12, bytes.end() - 8), test::f32Bytes(0.0f));
}

TEST(JustifySettings, JdtFilesLoadAndSave) {
  test::TempDir dir;
  test::FakeHost host;
  JustifyOptions mine;
  mine.extension = "jus";
  mine.promptBeforeOperation = 1;
  mine.minimumSpace = 0.75f;
  mine.extraSpaceOpeningTie = 1.5f;
  mine.barlineType = 8;
  mine.noteFlag = 2.4f;
  // Saved in the "just.dat" layout, as the dialog holds it.
  ASSERT_TRUE(saveJustifySettingsFile(host, dir.file("mine.jdt"), mine));
  EXPECT_EQ(test::readBytes(dir.file("mine.jdt")), storeRecord(mine));
  JustifyOptions loaded;
  ASSERT_TRUE(loadJustifySettingsFile(host, dir.file("mine.jdt"), loaded));
  EXPECT_EQ(loaded, mine);
  EXPECT_TRUE(host.messages.empty());

  // Missing or damaged files: the message, and nothing taken from them.
  auto cut = storeRecord(mine);
  cut.resize(20);
  test::writeBytes(dir.file("cut.jdt"), cut);
  JustifyOptions untouched;
  EXPECT_FALSE(loadJustifySettingsFile(host, dir.file("none.jdt"), untouched));
  EXPECT_FALSE(loadJustifySettingsFile(host, dir.file("cut.jdt"), untouched));
  EXPECT_EQ(untouched, JustifyOptions{});
  EXPECT_FALSE(saveJustifySettingsFile(host, dir.file("no/such.jdt"), mine));
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + dir.file("none.jdt") + " for reading",
                                 "The settings file " + dir.file("cut.jdt") + " is damaged; it was not loaded.",
                                 "Unable to open file " + dir.file("no/such.jdt") + " for reading"}));

  // A version 376 file has no flag width: the shown one stays.
  auto old = storeRecord(mine);
  old.resize(old.size() - 4);
  old[0] = 376 & 0xFF;
  old[1] = 376 >> 8;
  test::writeBytes(dir.file("old.jdt"), old);
  JustifyOptions shown;
  shown.noteFlag = 9.0f;
  ASSERT_TRUE(loadJustifySettingsFile(host, dir.file("old.jdt"), shown));
  EXPECT_EQ(shown.noteFlag, 9.0f);
  EXPECT_EQ(shown.barlineType, 8);
  EXPECT_EQ(shown.extension, "jus");
}

} // namespace
} // namespace velmora
