#include "app/CommandTable.h"

#include <algorithm>
#include <array>

namespace velmora {

namespace {

using M = Menu;

constexpr std::array<CommandInfo, 29> kCommands{{
    {cmd::kEdit, M::Actions, "Edit...\tF2", "F2", "Prepare and run conditional editing macros on SCORE files\nEdit",
     false},
    {cmd::kPreviewEdit, M::Actions, "Preview Edit...\tCtrl+F2", "Ctrl+F2",
     "Run a macro in memory and show what it would change, file by file\nPreview Edit", false},
    {cmd::kOptimize, M::Actions, "&Optimize...\tF3", "F3", "Delete staves from SCORE files\nOptimize", false},
    {cmd::kUnoptimize, M::Actions, "&Unoptimize...\tF4", "F4",
     "Insert staves into SCORE files from a template\nUnoptimize", false},
    {cmd::kSetBeamAngles, M::Actions, "Set Beam Angles...\tF5", "F5", "Adjust angles of beams\nSet beam angles", false},
    {cmd::kJustify, M::Actions, "&Justify...\tSh+F3", "Shift+F3",
     "Remove overlaps between notes in SCORE files\nJustify", false},
    {cmd::kRunMultiple, M::Actions, "&Run Multiple Tasks...\tSh+F2", "Shift+F2",
     "Run a combination of Optimize/Unoptimize, Set Beam Angles and Edit\nRun Multiple Tasks", false},
    {cmd::kCreateReport, M::Actions, "&Create Report...\tF6", "F6",
     "Create a report of all available macros, steps and settings\nCreate report", false},
    {cmd::kItemCount, M::Actions, "&Run Item Count...\tSh+F6", "Shift+F6",
     "Calculate the number of items in a group of files\nRun Item count", false},
    {cmd::kAddCrops, M::PostScript, "Add crop marks...\tF7", "F7",
     "Add printer marks for various paper sizes\nAdd crops", false},
    {cmd::kRemoveCrops, M::PostScript, "Remove crop marks...\tF8", "F8",
     "Remove printer marks previously appended by Velmora\nRemove crops", false},
    {cmd::kRenameEps, M::PostScript, "Rename to Score name...\tF9", "F9",
     "Rename files to their original Score filename with an EPS extension\nRename", false},
    {cmd::kListFonts, M::PostScript, "List text fonts...\tF10", "F10",
     "List all fonts used in file selection\nList fonts", false},
    {cmd::kAlterBoundingBox, M::PostScript, "&Alter Bounding Box...\tF11", "F11",
     "Alter the bounding box values in a Score created EPS file\nAlter Bounding Box", false},
    {cmd::kSplitEps, M::PostScript, "Split multi-page file...\tF12", "F12",
     "Split multi-page files to their original Score filename with an EPS extension\nSplit", false},
    {cmd::kExit, M::Actions, "E&xit", "", "Quit the application", true},
    {cmd::kGeneralSettings, M::Options, "&General Settings...\tCtrl+G", "Ctrl+G",
     "Make general configuration settings\nGeneral settings", false},
    {cmd::kEditSettings, M::Options, "Edit Settings...\tCtrl+E", "Ctrl+E",
     "Configure the editing process\nEdit settings", true},
    {cmd::kOptimizeSettings, M::Options, "&Optimize Settings...\tCtrl+O", "Ctrl+O",
     "Configure the optimize process\nOptimize settings", false},
    {cmd::kUnoptimizeSettings, M::Options, "&Unoptimize Settings...\tCtrl+U", "Ctrl+U",
     "Configure the unoptimize process\nUnoptimize settings", false},
    {cmd::kBeamSettings, M::Options, "&Beam Settings...\tCtrl+B", "Ctrl+B", "Set up beam angles\nBeam settings", false},
    {cmd::kJustifySettings, M::Options, "&Justify Settings...\tCtrl+J", "Ctrl+J",
     "Configure the justification process\nJustify settings", false},
    {cmd::kItemCountSettings, M::Options, "Item Count Settings...\tCtrl+I", "Ctrl+I",
     "Edit Item count settings\nItem count settings", false},
    {cmd::kCropSettings, M::Options, "&Crop Mark Settings...\tCrtl+M", "Ctrl+M",
     "Configure the crop markprocess\nCrop mark settings", false},
    {cmd::kToolbars, M::View, "&Toolbars", "", "Show or hide the toolbar", false},
    {cmd::kStatusBar, M::View, "&Status Bar", "", "Show or hide the status bar", false},
    {cmd::kManual, M::Help, "Manual... \tF1", "F1", "View the help manual\nHelp", false},
    {cmd::kChangelog, M::Help, "Changelog...", "", "", false},
    {cmd::kAbout, M::Help, "&About Velmora...", "",
     "Display program information, version number and copyright\nAbout Velmora", false},
}};

constexpr std::array<int, 25> kGuarded{32771, 32772, 32774, 32775, 32776, 32785, 32788, 32789, 32790,
                                       32791, 32792, 32793, 32794, 32795, 32796, 32797, 32798, 32799,
                                       32801, 32802, 32805, 32811, 32812, 32813, 57665};

constexpr std::array<int, 18> kMainToolbar{cmd::kEdit,
                                           cmd::kOptimize,
                                           cmd::kUnoptimize,
                                           cmd::kJustify,
                                           cmd::kSetBeamAngles,
                                           cmd::kRunMultiple,
                                           cmd::kCreateReport,
                                           cmd::kItemCount,
                                           0,
                                           cmd::kGeneralSettings,
                                           cmd::kEditSettings,
                                           cmd::kOptimizeSettings,
                                           cmd::kUnoptimizeSettings,
                                           cmd::kJustifySettings,
                                           cmd::kBeamSettings,
                                           cmd::kItemCountSettings,
                                           0,
                                           cmd::kManual};

constexpr std::array<int, 8> kPostScriptToolbar{
    cmd::kAddCrops,    cmd::kRemoveCrops, cmd::kRenameEps, cmd::kListFonts, cmd::kAlterBoundingBox, cmd::kSplitEps, 0,
    cmd::kCropSettings};

} // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(int id) {
  for (const auto& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

bool isGuardedByBusy(int id) { return std::find(kGuarded.begin(), kGuarded.end(), id) != kGuarded.end(); }

bool isCommandEnabled(int id, bool busy) { return !(busy && isGuardedByBusy(id)); }

std::span<const int> mainToolbar() { return kMainToolbar; }
std::span<const int> postScriptToolbar() { return kPostScriptToolbar; }

const char* platformName() {
#if defined(_WIN32)
  return "Windows";
#elif defined(__APPLE__)
  return "macOS";
#elif defined(__linux__)
  return "Linux";
#else
  return "Unix";
#endif
}

std::string aboutLine() { return std::string("Velmora Version 3.8 for ") + platformName(); }

} // namespace velmora
