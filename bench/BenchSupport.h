#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Host.h"
#include "beams/BeamDialogs.h"
#include "edit/EditRun.h"
#include "justify/Justify.h"
#include "staves/StaveDialogs.h"

namespace velmora::bench {

// A user who never answers anything but the safe default, and never cancels.
class SilentHost : public IHost {
public:
  void showMessage(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return true; }
  Pump pump() override { return Pump::GoOn; }
  int chooseFiles(FileListRequest&, std::vector<std::string>& files) override {
    files.insert(files.end(), batch.begin(), batch.end());
    return batch.empty() ? 0 : 1;
  }
  void openInViewer(const std::string&) override {}

  std::vector<std::string> batch;
  std::vector<std::string> messages;
};

// Every dialog of the tasks answered as the command line answers it.
class SilentDialogs : public IEditDialogs, public IStaveDialogs, public IBeamDialogs, public IJustifyDialogs {
public:
  explicit SilentDialogs(std::string macro = {}) : macro_(std::move(macro)) {}

  bool selectMacro(const SelectMacroRequest&, std::string& chosen) override {
    chosen = macro_;
    return !chosen.empty();
  }
  PromptAnswer promptBeforeOperation(const EditPrompt&) override { return PromptAnswer::YesToAll; }
  bool selectInstrumentNumbers(InstrumentChoice&) override { return true; }
  StaveDialogResult selectStaves(StaveSelection&) override { return StaveDialogResult::OkToAll; }
  bool chooseTemplate(TemplateChoice&) override { return false; }
  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion&) override {
    return BeamNotFoundAnswer::NoToAll;
  }
  bool editBeamLibrary(BeamLibraryRequest&) override { return false; }
  bool editBeamSettings(BeamSettingsRequest&) override { return false; }
  bool askAreYouSure() override { return false; }
  PromptAnswer promptBeforeOperation(const JustifyPrompt&) override { return PromptAnswer::YesToAll; }
  bool editJustifySettings(JustifyOptions&) override { return false; }

private:
  std::string macro_;
};

// The shape of a generated page of music.
struct PageShape {
  int staves = 10;
  int measures = 6;
  unsigned seed = 1;
};

// One page as parameter lists, one item per list: per stave a staff item,
// clef, key and time signature, then per measure beamed eighth pairs,
// quarters (some close enough to overlap), a rest, a barline, and a slur
// every other measure; a text item on the first stave.
std::vector<std::vector<float>> pageItems(const PageShape& shape);

// The largest page whose file stays below the 65535 words of a header.
PageShape largePage();

// Short items (3 parameters) for COMP over many items: notes, with a beam
// every fourth and a barline every eighth, over ten staves.
std::vector<std::vector<float>> compItems(int count);

// The items as a complete SCORE file.
std::vector<uint8_t> scoreBytes(const std::vector<std::vector<float>>& items);

// The real pages of a corpus folder: its SCORE files of 1 KB or more, by
// name. Smaller ones are fragments, not pages.
std::vector<std::string> corpusPages(const std::string& folder);

// A folder of its own below the system's temporary folder, removed at exit.
std::string scratchFolder(const std::string& name);

} // namespace velmora::bench
