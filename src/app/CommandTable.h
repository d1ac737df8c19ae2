#pragma once

#include <span>
#include <string>

namespace velmora {

enum class Menu { Actions, PostScript, Options, View, Help };

// One command of the menus and toolbars.
struct CommandInfo {
  int id;
  Menu menu;
  const char* text;   // menu text as stored; the key name follows a tab
  const char* key;    // shortcut, or "" for none
  const char* prompt; // status-bar prompt, then "\n" and the tooltip
  bool separatorBefore;
};

namespace cmd {
inline constexpr int kEdit = 32776, kOptimize = 32771, kUnoptimize = 32772, kSetBeamAngles = 32790, kJustify = 32811,
                     kRunMultiple = 32798, kCreateReport = 32788, kItemCount = 32802, kAddCrops = 32792,
                     kRemoveCrops = 32795, kRenameEps = 32796, kListFonts = 32793, kAlterBoundingBox = 32797,
                     kSplitEps = 32799, kPreviewEdit = 32813, kExit = 57665, kGeneralSettings = 32789,
                     kEditSettings = 32785, kOptimizeSettings = 32774, kUnoptimizeSettings = 32775,
                     kBeamSettings = 32791, kJustifySettings = 32812, kItemCountSettings = 32805, kCropSettings = 32794,
                     kToolbars = 59392, kStatusBar = 59393, kManual = 32801, kChangelog = 32810, kAbout = 57664;
} // namespace cmd

// Every command in menu order.
std::span<const CommandInfo> commandTable();
const CommandInfo* findCommand(int id);

// The commands greyed while a task runs (the tasks, their settings, the
// manual and Exit); Changelog, About and the View toggles never are.
bool isGuardedByBusy(int id);
bool isCommandEnabled(int id, bool busy);

// Toolbar slots, left to right; 0 is a separator.
std::span<const int> mainToolbar();
std::span<const int> postScriptToolbar();

inline constexpr const char* kAppTitle = "Velmora 3.7";
inline constexpr const char* kIdleText = "Select a button or menu item to begin";
inline constexpr const char* kProjectDirectoryFormat = "Project directory - %s";
inline constexpr const char* kAboutTitle = "About Velmora";
inline constexpr const char* kManualFile = "velmora3.pdf";
inline constexpr const char* kChangelogFile = "changelog.txt";

// The platform the build is for, as the About line names it.
const char* platformName();
// "Velmora Version 3.8 for " + the platform.
std::string aboutLine();

} // namespace velmora
