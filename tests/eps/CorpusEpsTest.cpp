#include <gtest/gtest.h>

#include <filesystem>

#include "EpsFixture.h"
#include "eps/EpsTools.h"

namespace velmora {
namespace {

using test::Lines;
using test::readText;

struct Sample {
  const char* file;
  const char* scoreName;
  const char* box;
};

constexpr Sample kSamples[] = {{"chor005.eps", "CHOR005", "30 199 579 669"},
                               {"chopin2801.eps", "ALL", "31 22 579 738"}};

// Every tool on the SCORE-made pages of the corpus, each on a fresh copy.
class CorpusEps : public test::EpsTest {
protected:
  std::string copy(const Sample& s) {
    const std::string target = dir.file(s.file);
    std::filesystem::copy_file(test::corpusDir() + s.file, target, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return target;
  }
};

TEST_F(CorpusEps, EveryToolOnRealPages) {
  if (test::corpusDir().empty() || !std::filesystem::exists(test::corpusDir() + kSamples[0].file))
    GTEST_SKIP() << "no corpus";
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.file);
    const std::string path = copy(s);
    const std::string original = readText(path);
    ASSERT_EQ(original.substr(0, 25), "%!PS-Adobe-2.0 EPSF-1.2\r\n");

    // Add and remove: the file returns, its box line written without the trailing blanks.
    CropOptions o;
    o.renameToScoreName = 0;
    ASSERT_EQ(tools.addCropMarks(o, path), 1);
    const std::string marked = readText(path);
    EXPECT_NE(marked.find(std::string("%%OldBoundingBox: ") + s.box + "\r\n%%BoundingBox: "), std::string::npos);
    EXPECT_NE(marked.find("\r\n save\r\n/crops\r\n{\r\n0.500000 setlinewidth\r\n"), std::string::npos);
    EXPECT_EQ(state.scoreName, s.scoreName);
    ASSERT_EQ(tools.removeCropMarks(path), 1);
    std::string restored = readText(path);
    const std::string boxLine = std::string("%%BoundingBox: ") + s.box;
    const size_t at = original.find(boxLine);
    ASSERT_NE(at, std::string::npos);
    const size_t lineEnd = original.find("\r\n", at);
    EXPECT_EQ(restored, original.substr(0, at) + boxLine + original.substr(lineEnd));

    // Alter with the values as shown keeps the box.
    struct Confirm : IEpsDialogs {
      BoxAnswer alterBoundingBox(BoxDialogData&) override { return BoxAnswer::Ok; }
      bool cropMarkSettings(CropDialogData&) override { return false; }
    } confirm;
    state.askBoxPerFile = 1;
    ASSERT_EQ(tools.alterBoundingBox(confirm, dir.path(), path), 1);
    EXPECT_EQ(readText(path), restored);

    // The fonts of the trailer.
    state.fontList.clear();
    ASSERT_EQ(tools.listTextFonts(path), 1);
    EXPECT_EQ(state.fontList.size(), 3u);
    for (const char* font : {"Times-Roman", "Times-Bold", "Times-Italic"})
      EXPECT_NE(std::find(state.fontList.begin(), state.fontList.end(), font), state.fontList.end()) << font;

    // A one-page split renames the file like Rename to Score name.
    ASSERT_EQ(tools.splitPages(path), 1);
    const std::string renamed = dir.file(std::string(s.scoreName) + ".EPS");
    EXPECT_EQ(readText(renamed), restored);
    std::filesystem::remove(renamed);
    copy(s);
    ASSERT_EQ(tools.renameToScoreFile(path), 1);
    EXPECT_EQ(readText(renamed), original);
    std::filesystem::remove(renamed);
  }
  EXPECT_TRUE(host.messages.empty());
}

} // namespace
} // namespace velmora
