#include "support/FakeHost.h"

namespace velmora::test {

void FakeHost::showMessage(const std::string& text) { messages.push_back(text); }

bool FakeHost::askYesNo(const std::string& title, const std::string& text) {
  questions.push_back(title + ": " + text);
  if (yesNoAnswers.empty()) return defaultYes;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

bool FakeHost::askOkCancel(const std::string& text) {
  questions.push_back("OK/Cancel: " + text);
  if (okCancelAnswers.empty()) return true;
  const bool answer = okCancelAnswers.front();
  okCancelAnswers.pop_front();
  return answer;
}

Pump FakeHost::pump() {
  ++pumps;
  if (keyAtPump.count(pumps) && askCancelAction(*this)) {
    cancelled = true;
    return Pump::Cancel;
  }
  return Pump::GoOn;
}

int FakeHost::chooseFiles(FileListRequest& request, std::vector<std::string>& files) {
  fileRequests.push_back(request);
  if (fileChoices.empty()) return 0;
  auto chosen = fileChoices.front();
  fileChoices.pop_front();
  files.insert(files.end(), chosen.begin(), chosen.end());
  return chosen.empty() ? 0 : 1;
}

void FakeHost::openInViewer(const std::string& path) { opened.push_back(path); }

} // namespace velmora::test
