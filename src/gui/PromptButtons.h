#pragma once

#include <functional>

#include "base/Host.h"

class QDialog;
class QHBoxLayout;

namespace velmora::gui {

// The answer row of the prompts before an operation: "Yes" (the default),
// "Yes To All", "No", "Cancel", and "Open Score file", which leaves the prompt up.
QHBoxLayout* promptButtonRow(QDialog* dialog, std::function<void(PromptAnswer)> answer,
                             std::function<void()> openScore);

} // namespace velmora::gui
