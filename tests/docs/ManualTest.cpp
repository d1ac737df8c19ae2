#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/CommandTable.h"
#include "batch/TaskStrings.h"
#include "cli/Arguments.h"
#include "settings/Records.h"

namespace velmora {
namespace {

std::string readDoc(const std::string& name) {
  std::ifstream in(std::string(VELMORA_DOCS_DIR) + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool mentions(const std::string& doc, const std::string& text) { return doc.find(text) != std::string::npos; }

// The menu text as the menu shows it: no mnemonic, no key column.
std::string menuLabel(const char* stored) {
  std::string label(stored);
  label = label.substr(0, label.find('\t'));
  std::erase(label, '&');
  while (!label.empty() && label.back() == ' ')
    label.pop_back();
  return label;
}

TEST(DocsManual, NamesEveryCommandOfTheWindow) {
  const std::string manual = readDoc("manual.md");
  ASSERT_FALSE(manual.empty());
  for (const CommandInfo& command : commandTable())
    EXPECT_TRUE(mentions(manual, "\"" + menuLabel(command.text) + "\"")) << menuLabel(command.text);
}

TEST(DocsManual, NamesEveryTaskLine) {
  const std::string manual = readDoc("manual.md");
  for (int t = 0; t <= static_cast<int>(Task::SplitEps); ++t) {
    const TaskStrings& strings = taskStrings(static_cast<Task>(t));
    EXPECT_TRUE(mentions(manual, "\"" + std::string(strings.fileListTitle) + "\"")) << strings.fileListTitle;
    EXPECT_TRUE(mentions(manual, "\"" + std::string(strings.progressPrefix))) << strings.progressPrefix;
    EXPECT_TRUE(mentions(manual, "\"" + std::string(strings.finishFormat) + "\"")) << strings.finishFormat;
  }
}

TEST(DocsManual, NamesEverySettingsFile) {
  const std::string manual = readDoc("manual.md");
  for (int f = 0; f <= static_cast<int>(SettingsFile::ItemCount); ++f) {
    const std::string name = settingsFileName(static_cast<SettingsFile>(f));
    EXPECT_TRUE(mentions(manual, "\"" + name + "\"")) << name;
  }
  EXPECT_TRUE(mentions(manual, "\"" + std::string(kManualFile) + "\""));
  EXPECT_TRUE(mentions(manual, "\"" + std::string(kChangelogFile) + "\""));
}

// Both the manual and the man page list every velmora-cli command and exit status.
TEST(DocsManual, DescribeEveryCliCommand) {
  const std::string manual = readDoc("manual.md");
  const std::string manPage = readDoc("velmora-cli.1");
  ASSERT_FALSE(manPage.empty());
  for (const cli::CommandSpec& command : cli::commandSpecs()) {
    std::string roff;
    for (const char c : std::string(command.name))
      roff += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_TRUE(mentions(manual, "| `" + std::string(command.name))) << command.name;
    EXPECT_TRUE(mentions(manPage, roff)) << command.name;
    for (const std::string& option : command.valueOptions) {
      EXPECT_TRUE(mentions(manual, "--" + option)) << command.name << " --" << option;
      EXPECT_TRUE(mentions(manPage, "\\-\\-" + option)) << command.name << " --" << option;
    }
  }
  for (const int status : {cli::kExitFinished, cli::kExitCancelled, cli::kExitUsage, cli::kExitInterrupted}) {
    EXPECT_TRUE(mentions(manual, "| " + std::to_string(status) + " |")) << status;
    EXPECT_TRUE(mentions(manPage, ".B " + std::to_string(status) + "\n")) << status;
  }
}

} // namespace
} // namespace velmora
