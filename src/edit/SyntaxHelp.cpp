#include "edit/SyntaxHelp.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/AtomicFile.h"
#include "base/FileSystem.h"

namespace velmora {

std::string syntaxLines(std::string_view bytes, bool cut) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16 + 64);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (char c : line)
      out += c == '\0' ? ' ' : c;
    out += "\r\n";
    start = next;
  }
  if (cut) out += "\r\n[The rest of the file is not shown.]\r\n";
  return out;
}

std::string readSyntaxHelp(const std::string& settingsFolder) {
  const std::string path = resolveCaseInsensitive(settingsFolder, kSyntaxFileName);
  // Non-blocking, so that a FIFO of that name cannot hang the dialog.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return {};
  }
  // One byte past the limit tells whether the file is longer.
  std::vector<char> bytes(kMaxSyntaxBytes + 1);
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  const bool cut = got > kMaxSyntaxBytes;
  return syntaxLines(std::string_view(bytes.data(), cut ? kMaxSyntaxBytes : got), cut);
}

} // namespace velmora
