#include "settings/StateFile.h"

#include <gtest/gtest.h>

#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::readBytes;
using test::writeBytes;

std::vector<uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

TEST(StateFile, WrittenAsLinesAndReadBack) {
  test::TempDir dir;
  const std::string path = dir.file("window-state.txt");
  // Line breaks and "=" in keys cannot be stored; "=" in a value can.
  const StateValues values{{"geometry", "AdnQywAD"}, {"folder", "/home/user/a=b"}, {"bad\nkey", "x"},
                           {"bad=key", "x"},         {"broken", "a\r\nb"},         {"empty", ""}};
  ASSERT_TRUE(writeStateFile(path, values));
  EXPECT_EQ(readBytes(path), bytesOf("empty=\nfolder=/home/user/a=b\ngeometry=AdnQywAD\n"));
  EXPECT_EQ(readStateFile(path), (StateValues{{"empty", ""}, {"folder", "/home/user/a=b"}, {"geometry", "AdnQywAD"}}));
}

TEST(StateFile, ForeignInputGivesWhatCanBeRead) {
  test::TempDir dir;
  const std::string path = dir.file("window-state.txt");
  EXPECT_TRUE(readStateFile(path).empty()); // missing
  // CR LF lines, lines without a key or "=", a last line without LF.
  writeBytes(path, bytesOf("a=1\r\n=2\nnoequals\n\nb=x=y\nc=3"));
  EXPECT_EQ(readStateFile(path), (StateValues{{"a", "1"}, {"b", "x=y"}, {"c", "3"}}));
  // Too large to be ours.
  writeBytes(path, std::vector<uint8_t>(kStateFileLimit + 1, 'a'));
  EXPECT_TRUE(readStateFile(path).empty());
}

} // namespace
} // namespace velmora
