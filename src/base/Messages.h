#pragma once

// Texts that several subsystems show, as printf formats.
namespace velmora::base_msg {

// Shown for files that cannot be opened, for reading and for writing alike.
inline constexpr const char* kUnableToOpen = "Unable to open file %s for reading";

} // namespace velmora::base_msg
