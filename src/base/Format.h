#pragma once

#include <string>

namespace velmora {

// printf-style formatting for the program's message and log texts, which are
// printf formats ("%d file(s) edited. Finished.").
std::string strprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string toUpperAscii(std::string text);
bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b);

} // namespace velmora
