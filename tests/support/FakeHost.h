#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "base/Host.h"

namespace velmora::test {

// A scripted user: records every box, answers from queues, types a key at
// chosen pump calls.
class FakeHost : public IHost {
public:
  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& title, const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  Pump pump() override;
  int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override;
  void openInViewer(const std::string& path) override;
  bool cancelConfirmed() const override { return cancelled; }

  // Every message box text, in order.
  std::vector<std::string> messages;
  // Every question as "title: text", in order.
  std::vector<std::string> questions;
  // Answers for askYesNo; when empty, `defaultYes`.
  std::deque<bool> yesNoAnswers;
  bool defaultYes = false;
  std::deque<bool> okCancelAnswers;
  // At these 1-based pump calls the user types a key, which raises "Cancel Action".
  std::set<long> keyAtPump;
  long pumps = 0;
  bool cancelled = false;
  // Each chooseFiles call takes the front entry; an empty entry chooses nothing.
  std::deque<std::vector<std::string>> fileChoices;
  std::vector<FileListRequest> fileRequests;
  std::vector<std::string> opened;
};

} // namespace velmora::test
