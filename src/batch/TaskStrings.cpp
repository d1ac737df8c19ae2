#include "batch/TaskStrings.h"

#include <array>

namespace velmora {

namespace {

constexpr FileKind S = FileKind::Score;
constexpr FileKind P = FileKind::PostScript;

// In the order of the Task enumeration.
constexpr std::array<TaskStrings, 13> kTable{{
    {"Create Filelist for Optimization", "Optimizing ", "%d file(s) optimized. Finished.", S, false},
    {"Create Filelist for Unoptimization", "Unoptimizing ", "%d file(s) unoptimized. Finished.", S, false},
    {"Create Filelist for Conditional Macro Editing", "Editing with macro ", "%d file(s) edited. Finished.", S, false},
    {"Create Filelist for Setting beam angles", "Setting beam angles in ", "Beam angles set in %d file(s). Finished.",
     S, false},
    {"Create Filelist for Justification", "Justifying ", "%d file(s) justified. Finished.", S, false},
    {"Create Filelist for Running Multiple Tasks", "", "%d file(s) run. Finished.", S, false},
    {"Select Files for Counting", "Reading item count for", "%d file(s) edited. Finished.", S, true},
    {"Create Filelist for Adding Crop Marks", "Adding crop marks to ",
     "%d file(s) processed adding crop marks. Finished.", P, true},
    {"Create Filelist for Removing Crop Marks", "Removing crop marks from ",
     "%d file(s) processed removing crop marks. Finished.", P, true},
    {"Create Filelist for Renaming EPS Files", "Renaming file ", "%d file(s) renamed. Finished.", P, true},
    {"Create Filelist for Postscript Font List", "Recording text fonts needed in ",
     "%d file(s) processed creating font list. Finished.", P, true},
    {"Create Filelist for Altering EPS Bounding Box", "Altering bounding box in file ", "%d file(s) altered. Finished.",
     P, true},
    {"Create Filelist for Splitting Multi-page EPS Files", "Splitting file ", "%d file(s) split. Finished.", P, true},
}};

} // namespace

const TaskStrings& taskStrings(Task task) { return kTable[static_cast<size_t>(task)]; }

} // namespace velmora
