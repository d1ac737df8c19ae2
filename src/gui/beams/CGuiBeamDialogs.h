#pragma once

#include <functional>

#include "base/Host.h"
#include "beams/BeamDialogs.h"

class QWidget;

namespace velmora::gui {

// The beam dialogs as windows, for the command handlers.
class CGuiBeamDialogs : public IBeamDialogs {
public:
  // During a run, typing into these dialogs must not raise "Cancel Action".
  CGuiBeamDialogs(IHost& host, QWidget* parent, std::function<void(bool)> pauseCancelWatch = {})
      : host_(host), parent_(parent), pauseCancelWatch_(std::move(pauseCancelWatch)) {}

  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) override;
  bool editBeamLibrary(BeamLibraryRequest& request) override;
  bool editBeamSettings(BeamSettingsRequest& request) override;
  bool askAreYouSure() override;

private:
  // Keeps the watch paused while any of these dialogs, nested or not, is up.
  class Pause {
  public:
    explicit Pause(CGuiBeamDialogs& owner);
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

  private:
    CGuiBeamDialogs& owner_;
  };

  IHost& host_;
  QWidget* parent_;
  std::function<void(bool)> pauseCancelWatch_;
  int depth_ = 0;
};

} // namespace velmora::gui
