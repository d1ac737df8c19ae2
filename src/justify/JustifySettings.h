#pragma once

#include <array>
#include <span>
#include <string>

#include "base/Host.h"
#include "settings/Records.h"

namespace velmora {

// Below this the settings dialog refuses the minimum space.
inline constexpr float kMinimumJustifySpace = 0.01f;

// The OK check of "Justify Settings": false after the OK/Cancel message,
// and the dialog stays open whichever button is pressed.
bool acceptJustifySettings(IHost& host, const JustifyOptions& options);

// "Load..": every field from a .jdt file. False after "Unable to open file %s
// for reading" (also for a damaged file); `options` is then unchanged.
bool loadJustifySettingsFile(IHost& host, const std::string& path, JustifyOptions& options);
// "Save As...": every field, in the layout of "just.dat".
bool saveJustifySettingsFile(IHost& host, const std::string& path, const JustifyOptions& options);

// The filter and default extension of the .jdt file dialogs.
inline constexpr const char* kJdtFilter = "JDT files (*.jdt)";
inline constexpr const char* kJdtExtension = "jdt";

// The 19 widths in the order of the widths dialog (noteFlag after rhythmDot).
using JustifyWidthValues = std::array<float, kJustifyWidthCount>;
JustifyWidthValues justifyWidthValues(const JustifyOptions& options);
void setJustifyWidthValues(JustifyOptions& options, const JustifyWidthValues& values);

struct JustifyWidthLabel {
  const char* group;
  const char* label;
};
// Group and label of each width, in dialog order.
std::span<const JustifyWidthLabel, kJustifyWidthCount> justifyWidthLabels();

inline constexpr const char* kJustifyWidthsTitle = "Widths (in Score units at stave size 1.0)";

} // namespace velmora
