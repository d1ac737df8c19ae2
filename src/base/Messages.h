#pragma once

// Texts that several subsystems show, as printf formats.
namespace velmora::base_msg {

// Shown for files that cannot be opened, for reading and for writing alike.
inline constexpr const char* kUnableToOpen = "Unable to open file %s for reading";
// A file that was created but could not be written whole; the second %s says why.
inline constexpr const char* kWriteFailed = "Unable to write file %s: %s.";
// Why a file with other hard links is not replaced: a new file would split it from them.
inline constexpr const char* kHasHardLinks = "it has other hard links; it was left unchanged";

} // namespace velmora::base_msg
