#pragma once

#include "base/Host.h"
#include "justify/Justify.h"

class QWidget;

namespace velmora::gui {

class CGuiHost;

// The Justify windows for the command handlers: the prompt and the settings.
class CJustifyDialogs : public IJustifyDialogs {
public:
  // With the GUI host, its Cancel Action watch is paused while the prompt is up,
  // so keys typed into the prompt answer it.
  CJustifyDialogs(IHost& host, QWidget* parent, CGuiHost* guiHost = nullptr)
      : host_(host), parent_(parent), guiHost_(guiHost) {}

  PromptAnswer promptBeforeOperation(const JustifyPrompt& prompt) override;
  bool editJustifySettings(JustifyOptions& options) override;

private:
  IHost& host_;
  QWidget* parent_;
  CGuiHost* guiHost_;
};

} // namespace velmora::gui
