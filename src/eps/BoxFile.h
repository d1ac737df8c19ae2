#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "eps/EpsState.h"

namespace velmora {

// One coordinate expression against the current value: "+N", "-N", "*N",
// "/N" change it (the text before the operator is ignored, "/0" keeps it);
// otherwise a number sets it, and text that is not a number keeps it.
long long evaluateCoordinate(std::string_view expression, long long value);

inline constexpr const char* kBoxFileFilter = "Bounding Box Files (*.bbx) | *.bbx|All Files (*.*) | *.*||";
inline constexpr const char* kBoxFileExtension = "BBX";
inline constexpr const char* kBoxFileInitialName = "*.BBX";

// ".bbx" files: four counted strings, x1, x2, y1, y2. False with the message
// for the user; the fields are then unchanged.
bool loadBoxFile(const std::string& path, BoxExpressions& fields, std::string& message);
bool saveBoxFile(const std::string& path, const BoxExpressions& fields, std::string& message);
// The bytes of a ".bbx" file; false for a damaged one, the fields then unchanged.
bool decodeBoxFile(std::span<const uint8_t> bytes, BoxExpressions& fields);
std::vector<uint8_t> encodeBoxFile(const BoxExpressions& fields);
// The name "Save As..." writes: the chosen path, or that path without its
// extension when its file name still holds a "." then.
std::string boxFileSavePath(const std::string& chosen);

// The CLI's "--box" value: four expressions in dialog order, separated by
// commas (fields may be empty) or, without a comma, by blanks.
bool parseBoxList(std::string_view text, BoxExpressions& out);

} // namespace velmora
