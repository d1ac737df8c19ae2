#pragma once

// The texts of the combined run, as printf formats.
namespace velmora::batch_msg {

// A log line: the working file could not take the final name; %s from, to, reason, from.
inline constexpr const char* kRenameFailed = "Unable to rename %s to %s (%s); the result stays in %s";
// The input's own name is its working file's, so the chain would rewrite the input in place.
inline constexpr const char* kInputIsWorkingFile =
    "%s cannot be run with multiple tasks: its extension is that of the working file (000). Rename the file and "
    "try again.";
// An earlier file of the run left its result in the working file this input needs.
inline constexpr const char* kWorkingFileTaken =
    "%s cannot be run with multiple tasks: its working file %s holds the result of an earlier file of this run, "
    "which could not be renamed.";

// A file of the working file's name was there before the chain began on this input.
inline constexpr const char* kWorkingFileExists =
    "%s cannot be run with multiple tasks: a file named like its working file, %s, already exists. Move or rename "
    "that file and try again.";

} // namespace velmora::batch_msg
