#include "settings/StateFile.h"

#include <string_view>
#include <vector>

#include "base/AtomicFile.h"
#include "base/FileSystem.h"

namespace velmora {

namespace {

bool storable(std::string_view text) { return text.find_first_of("\r\n") == std::string_view::npos; }

} // namespace

StateValues readStateFile(const std::string& path) {
  StateValues values;
  std::vector<uint8_t> bytes;
  if (readWholeFile(path, bytes, kStateFileLimit) != ReadResult::Ok) return values;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    values[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
  }
  return values;
}

bool writeStateFile(const std::string& path, const StateValues& values, std::string* error) {
  std::string text;
  for (const auto& [key, value] : values) {
    if (key.empty() || !storable(key) || key.find('=') != std::string::npos || !storable(value)) continue;
    text += key + '=' + value + '\n';
  }
  return writeFileAtomic(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error);
}

} // namespace velmora
