#include "base/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/AtomicFile.h"
#include "base/Format.h"

namespace velmora {

std::string withTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
  return folder;
}

std::string resolveCaseInsensitive(const std::string& folder, std::string_view name) {
  std::string exact = folder + std::string(name);
  struct stat st {};
  if (::stat(exact.c_str(), &st) == 0) return exact;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return exact;
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    if (equalsIgnoreCaseAscii(entry->d_name, name)) {
      found = folder + entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found.empty() ? exact : found;
}

ReadResult readWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit) {
  out.clear();
  // Non-blocking, so that a FIFO under a file's name cannot hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ReadResult::CannotOpen;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadResult::CannotOpen;
  }
  if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > limit) {
    ::close(fd);
    return ReadResult::TooLarge;
  }
  out.reserve(static_cast<size_t>(st.st_size));
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return ReadResult::CannotOpen;
    }
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > limit) {
      ::close(fd);
      return ReadResult::TooLarge;
    }
    out.insert(out.end(), chunk, chunk + n);
  }
  ::close(fd);
  return ReadResult::Ok;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool renameNoReplace(const std::string& from, const std::string& to, std::string* error) {
  if (const int injected = injectedRenameFailure()) {
    if (error) *error = std::strerror(injected);
    return false;
  }
  // link() fails when the target exists, unlike rename(); then drop the old name.
  if (::link(from.c_str(), to.c_str()) == 0) {
    if (::unlink(from.c_str()) != 0) {
      const int saved = errno;
      ::unlink(to.c_str());
      if (error) *error = std::strerror(saved);
      return false;
    }
    return true;
  }
  const int saved = errno;
  if (saved == EEXIST) {
    if (error) *error = std::strerror(saved);
    return false;
  }
  // Some file systems cannot link; fall back to a checked rename.
  if (saved == EPERM || saved == EXDEV || saved == ENOTSUP || saved == EOPNOTSUPP) {
    if (fileExists(to)) {
      if (error) *error = std::strerror(EEXIST);
      return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
  }
  if (error) *error = std::strerror(errno);
  return false;
}

bool isReadOnlyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

int setReadOnlyFile(const std::string& path, bool readOnly) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  const mode_t mode = st.st_mode & 07777;
  if (::chmod(path.c_str(), readOnly ? (mode & ~S_IWUSR) : (mode | S_IWUSR)) != 0) return errno;
  return 0;
}

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace velmora
