#pragma once

#include <map>
#include <string>

namespace velmora {

// The window's remembered layout (size, position, toolbars, the file-list
// folders): a file of its own beside the settings files, never one of the
// settings records, so the records keep their layouts.
inline constexpr const char* kWindowStateFile = "window-state.txt";
// Larger files are not the program's and are ignored.
inline constexpr size_t kStateFileLimit = 64 * 1024;

using StateValues = std::map<std::string, std::string>;

// "key=value" lines. A missing, oversized or unreadable file gives nothing;
// lines without "=" are skipped; a CR before the LF is dropped.
StateValues readStateFile(const std::string& path);
// Written whole through a temporary file. Keys or values holding a line break
// or a key holding "=" are left out, so what is written reads back the same.
bool writeStateFile(const std::string& path, const StateValues& values, std::string* error = nullptr);

} // namespace velmora
