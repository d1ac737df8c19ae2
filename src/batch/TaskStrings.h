#pragma once

#include "base/Host.h"

namespace velmora {

enum class Task {
  Optimize,
  Unoptimize,
  Edit,
  SetBeamAngles,
  Justify,
  RunMultiple,
  ItemCount,
  AddCropMarks,
  RemoveCropMarks,
  RenameEps,
  ListFonts,
  AlterBoundingBox,
  SplitEps,
};

// The file-list title, progress prefix and finish format of one task.
struct TaskStrings {
  const char* fileListTitle;
  const char* progressPrefix;
  const char* finishFormat; // one %d: the number of files
  FileKind kind;
  bool bareTitle; // no " (Output = EXT)" after the title
};

const TaskStrings& taskStrings(Task task);

inline constexpr const char* kOperationCancelled = "Operation cancelled.";

} // namespace velmora
