// The built manual PDF as poppler reads it back: every word inside the text
// area, a page number on every page, an outline of the chapters and sections,
// internal links that jump, and the same bytes from two builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace velmora {
namespace {

// The text area in PDF points from the top left: the margins of the A4 page.
constexpr double kLeft = 62, kRight = 595 - 56, kTop = 58, kBottom = 842 - 64, kSlack = 0.5;

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

// "## " and "### " headings outside code blocks, in order.
std::vector<std::string> headingsOf(const std::string& markdown) {
  std::vector<std::string> headings;
  bool code = false;
  size_t at = 0;
  while (at < markdown.size()) {
    const size_t end = std::min(markdown.find('\n', at), markdown.size());
    const std::string line = markdown.substr(at, end - at);
    at = end + 1;
    if (line.starts_with("```")) code = !code;
    if (code) continue;
    if (line.starts_with("## ")) headings.push_back(line.substr(3));
    if (line.starts_with("### ")) headings.push_back(line.substr(4));
  }
  return headings;
}

TEST(ManualPdf, EveryWordInsideTheTextAreaAndEveryPageNumbered) {
  if (!have("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  const std::string boxes = run("pdftotext -bbox " + quoted(VELMORA_MANUAL_PDF) + " -");
  static const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  int page = 0, words = 0, outside = 0;
  std::vector<std::string> lastWords; // the page number ends each page after the title page
  size_t at = 0;
  while (true) {
    const size_t next = boxes.find("<page ", at);
    const std::string text = boxes.substr(at, next == std::string::npos ? std::string::npos : next - at);
    std::string last;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it) {
      const double x0 = std::stod((*it)[1]), y0 = std::stod((*it)[2]), x1 = std::stod((*it)[3]),
                   y1 = std::stod((*it)[4]);
      ++words;
      last = (*it)[5];
      if (x0 < kLeft - kSlack || x1 > kRight + kSlack || y0 < kTop - kSlack || y1 > kBottom + kSlack) {
        if (++outside <= 10) ADD_FAILURE() << "page " << page << ": \"" << last << "\" at " << x0 << "," << y0 << " "
                                           << x1 << "," << y1;
      }
    }
    if (page > 0) lastWords.push_back(last);
    if (next == std::string::npos) break;
    ++page;
    at = next + 6;
  }
  EXPECT_EQ(outside, 0);
  ASSERT_GT(page, 20);
  EXPECT_GT(words, 10000);
  for (int p = 2; p <= page; ++p)
    EXPECT_EQ(lastWords[p - 1], std::to_string(p)) << "page " << p;
}

TEST(ManualPdf, OutlineHoldsEveryChapterAndSectionAndLinksJump) {
  if (!have("pdftohtml")) GTEST_SKIP() << "pdftohtml is not installed";
  const std::string xml = run("pdftohtml -xml -i -stdout " + quoted(VELMORA_MANUAL_PDF));
  static const std::regex item(R"re(<item page="(\d+)">([^<]*)</item>)re");
  std::vector<std::string> titles;
  int lastPage = 0;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), item); it != std::sregex_iterator(); ++it) {
    std::string title = (*it)[2];
    for (const auto& [entity, text] : {std::pair{"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}})
      for (size_t p; (p = title.find(entity)) != std::string::npos;) title.replace(p, std::string(entity).size(), text);
    titles.push_back(title);
    EXPECT_GE(std::stoi((*it)[1]), lastPage) << title;
    lastPage = std::stoi((*it)[1]);
  }
  const std::string markdown = readFile(std::string(VELMORA_DOCS_DIR) + "manual.md");
  EXPECT_EQ(titles, headingsOf(markdown));
  // And every heading is printed: a layout that loses text loses headings with it.
  if (have("pdftotext")) {
    std::string text = run("pdftotext -raw " + quoted(VELMORA_MANUAL_PDF) + " -");
    std::replace(text.begin(), text.end(), '\f', '\n');
    // The fonts' ligatures come back as single characters.
    for (const auto& [ligature, letters] : {std::pair{"\xef\xac\x80", "ff"}, {"\xef\xac\x81", "fi"},
                                            {"\xef\xac\x82", "fl"}, {"\xef\xac\x83", "ffi"}, {"\xef\xac\x84", "ffl"}})
      for (size_t p; (p = text.find(ligature)) != std::string::npos;) text.replace(p, 3, letters);
    for (const std::string& heading : headingsOf(markdown))
      EXPECT_NE(text.find("\n" + heading + "\n"), std::string::npos) << heading;
  }

  // Every "#name" link of the text and every contents line jumps to a page:
  // poppler lists those as "link to page N", and a web address would stay "#name".
  EXPECT_EQ(xml.find("href=\"#"), std::string::npos);
  size_t links = 0, jumps = 0;
  for (size_t p = 0; (p = markdown.find("](#", p)) != std::string::npos; ++p) ++links;
  for (size_t p = 0; (p = xml.find("link to page ", p)) != std::string::npos; ++p) ++jumps;
  size_t chapters = 0;
  for (size_t p = 0; (p = markdown.find("\n## ", p)) != std::string::npos; ++p) ++chapters;
  EXPECT_GT(chapters, 10u);
  EXPECT_GE(jumps, links + chapters); // a link broken over two lines counts twice
}

TEST(ManualPdf, EveryPictureOfTheManualIsInTheTree) {
  const std::string markdown = readFile(std::string(VELMORA_DOCS_DIR) + "manual.md");
  static const std::regex picture(R"(!\[[^\]]*\]\(([^)]+)\))");
  int count = 0;
  for (auto it = std::sregex_iterator(markdown.begin(), markdown.end(), picture); it != std::sregex_iterator(); ++it) {
    ++count;
    EXPECT_TRUE(std::ifstream(std::string(VELMORA_DOCS_DIR) + std::string((*it)[1])).good()) << (*it)[1];
  }
  EXPECT_GE(count, 25);
}

TEST(ManualPdf, SourceDateEpochMakesTheSameBytesAndABrokenLinkFails) {
  if (!have("pdfinfo")) GTEST_SKIP() << "pdfinfo is not installed";
  test::TempDir dir;
  struct Case {
    const char* markdown;
    bool builds;
  };
  const Case cases[] = {
      {"# Title\n\n## One\n\nSee [two](#two-and-more).\n\n## Two and more\n\n### Deeper\n\ntext\n", true},
      {"# Title\n\n## One\n\nSee [nowhere](#nowhere).\n", false},
  };
  for (const Case& c : cases) {
    std::ofstream(dir.file("in.md"), std::ios::binary) << c.markdown;
    const std::string tool = "SOURCE_DATE_EPOCH=1700000000 " + quoted(VELMORA_MANUALPDF_TOOL) + " " +
                             quoted(dir.file("in.md")) + " ";
    const int first = std::system((tool + quoted(dir.file("a.pdf")) + " >/dev/null 2>&1").c_str());
    EXPECT_EQ(first == 0, c.builds) << c.markdown;
    if (!c.builds) {
      EXPECT_FALSE(std::ifstream(dir.file("a.pdf")).good()) << "a failed build leaves no file";
      continue;
    }
    ASSERT_EQ(std::system((tool + quoted(dir.file("b.pdf")) + " >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(readFile(dir.file("a.pdf")), readFile(dir.file("b.pdf")));
    const std::string info = run("TZ=UTC pdfinfo " + quoted(dir.file("a.pdf")));
    EXPECT_NE(info.find("CreationDate:    Tue Nov 14 22:13:20 2023"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    std::remove(dir.file("a.pdf").c_str());
    std::remove(dir.file("b.pdf").c_str());
  }
}

} // namespace
} // namespace velmora
