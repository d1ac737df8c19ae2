#include "edit/ItemText.h"

#include <cstring>

namespace velmora {

namespace {

// The bytes of P14 onwards, in memory order.
std::string textBytes(const CItem& item) {
  std::string bytes;
  for (int32_t n = kTextFirstParameter; n <= item.count(); ++n) {
    const float v = item.p(n);
    char word[4];
    std::memcpy(word, &v, 4);
    bytes.append(word, 4);
  }
  return bytes;
}

} // namespace

std::string itemTextToZero(const CItem& item) {
  std::string bytes = textBytes(item);
  const size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

std::string itemTextByLength(const CItem& item) {
  std::string bytes = textBytes(item);
  // A length beyond the item, NaN or negative never reaches a cast.
  const double length = item.p(kTextLengthParameter);
  if (!(length >= 1.0))
    bytes.clear();
  else if (length < static_cast<double>(bytes.size()))
    bytes.resize(static_cast<size_t>(length));
  return bytes;
}

float packTextWord(const std::string& text, size_t offset) {
  char word[4] = {' ', ' ', ' ', ' '};
  for (size_t i = 0; i < 4 && offset + i < text.size(); ++i)
    word[i] = text[offset + i];
  float v;
  std::memcpy(&v, word, 4);
  return v;
}

} // namespace velmora
