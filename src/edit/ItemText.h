#pragma once

#include <string>

#include "model/CItem.h"

namespace velmora {

// A text item (code 16) holds its characters four per parameter, in memory
// byte order, from P14 on; P12 holds their number. These never read past the
// item's parameters, whatever P12 says.
inline constexpr int kTextLengthParameter = 12;
inline constexpr int kTextFirstParameter = 14;

// The characters from P14 up to the first zero byte, as the TXT test reads them.
std::string itemTextToZero(const CItem& item);
// P12 characters from P14, as the text replacement and the prompt read them.
std::string itemTextByLength(const CItem& item);
// Four characters as the float that holds them, blanks filling a short group.
float packTextWord(const std::string& text, size_t offset);

} // namespace velmora
