#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "beams/BeamDialogs.h"

namespace velmora::test {

// The beam dialogs as a scripted user: answers from queues, every call recorded.
struct ScriptedBeamDialogs : IBeamDialogs {
  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) override {
    questions.push_back(question);
    if (notFoundAnswers.empty()) return BeamNotFoundAnswer::No;
    const BeamNotFoundAnswer answer = notFoundAnswers.front();
    notFoundAnswers.pop_front();
    return answer;
  }
  bool editBeamLibrary(BeamLibraryRequest& request) override {
    libraryRequests.push_back(request);
    request.shownIndex = request.libraryIndex;
    return onEditLibrary ? onEditLibrary(request) : false;
  }
  bool editBeamSettings(BeamSettingsRequest& request) override {
    settingsRequests.push_back(request);
    return onEditSettings ? onEditSettings(request) : false;
  }
  bool askAreYouSure() override {
    ++areYouSureAsked;
    return areYouSureAnswer;
  }

  std::deque<BeamNotFoundAnswer> notFoundAnswers;
  std::vector<BeamNotFoundQuestion> questions;
  std::function<bool(BeamLibraryRequest&)> onEditLibrary;
  std::vector<BeamLibraryRequest> libraryRequests;
  std::function<bool(BeamSettingsRequest&)> onEditSettings;
  std::vector<BeamSettingsRequest> settingsRequests;
  bool areYouSureAnswer = false;
  int areYouSureAsked = 0;
};

} // namespace velmora::test
