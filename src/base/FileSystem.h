#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr char kPathSeparator = '/';

// Folder paths carry a trailing separator; this adds one when missing.
std::string withTrailingSeparator(std::string folder);

// folder + name, where an entry of the folder whose name matches `name`
// ignoring ASCII case is preferred, so that "SCORCNT2.DAT" finds
// "scorcnt2.dat". Without a match it is folder + name as given.
std::string resolveCaseInsensitive(const std::string& folder, std::string_view name);

enum class ReadResult { Ok, CannotOpen, TooLarge };

// Reads a whole file of at most `limit` bytes.
ReadResult readWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);

// Renames without ever replacing an existing target. False with errno-style
// text in `error` when the target exists or the rename fails.
bool renameNoReplace(const std::string& from, const std::string& to, std::string* error = nullptr);

// The read-only attribute: an existing file without the owner's write permission.
bool isReadOnlyFile(const std::string& path);
// Sets or clears it; 0, or the errno of the failure.
int setReadOnlyFile(const std::string& path, bool readOnly);

// The part of a path after its last separator.
std::string fileNameOf(const std::string& path);

} // namespace velmora
