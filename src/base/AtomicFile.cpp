#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/FileSystem.h"

namespace velmora {

namespace {

long long g_failAfter = -1;
long long g_written = 0;
int g_openFailure = 0;
int g_renameFailure = 0;
int g_renamesBeforeFailure = 0;
unsigned long g_writeFailures = 0;
// VELMORA_FSYNC=0 in the environment turns syncing off for the whole program.
bool g_sync = [] {
  const char* value = std::getenv("VELMORA_FSYNC");
  return !(value && std::strcmp(value, "0") == 0);
}();

std::string errnoText() { return std::strerror(errno); }

// Every failure to create, write or commit a file passes through here.
bool failed() {
  ++g_writeFailures;
  return false;
}

// Temporaries being written, in plain memory a signal handler may read.
struct PendingTemp {
  volatile std::sig_atomic_t used = 0;
  char path[PATH_MAX] = {};
};
constexpr int kPendingSlots = 16;
PendingTemp g_pending[kPendingSlots];

int recordPending(const std::string& path) {
  if (path.size() >= sizeof(g_pending[0].path)) return -1;
  for (int i = 0; i < kPendingSlots; ++i) {
    if (g_pending[i].used != 0) continue;
    std::memcpy(g_pending[i].path, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_pending[i].used = 1;
    return i;
  }
  return -1;
}

} // namespace

void setAtomicWriteFailureAfter(long long bytes) {
  g_failAfter = bytes;
  g_written = 0;
}

void setAtomicSync(bool on) { g_sync = on; }
bool atomicSync() { return g_sync; }

void setAtomicOpenFailure(int error) { g_openFailure = error; }
void setRenameFailure(int error, int succeeding) {
  g_renameFailure = error;
  g_renamesBeforeFailure = succeeding;
}

unsigned long atomicWriteFailures() { return g_writeFailures; }

int injectedRenameFailure() {
  if (g_renameFailure == 0) return 0;
  if (g_renamesBeforeFailure > 0) {
    --g_renamesBeforeFailure;
    return 0;
  }
  return g_renameFailure;
}

void unlinkOpenTemporaries() {
  for (PendingTemp& pending : g_pending)
    if (pending.used != 0) ::unlink(pending.path);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), slot_(std::exchange(other.slot_, -1)), target_(std::move(other.target_)),
      temp_(std::move(other.temp_)), error_(std::move(other.error_)) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this != &other) {
    discard();
    fd_ = std::exchange(other.fd_, -1);
    slot_ = std::exchange(other.slot_, -1);
    target_ = std::move(other.target_);
    temp_ = std::move(other.temp_);
    error_ = std::move(other.error_);
  }
  return *this;
}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open(const std::string& target) {
  discard();
  error_.clear();
  target_ = target;
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  // A read-only target stays read-only, as a plain create would find it (even for root).
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !(existing.st_mode & S_IWUSR)) {
    error_ = std::strerror(EACCES);
    return failed();
  }
  if (g_openFailure != 0) {
    error_ = std::strerror(g_openFailure);
    return failed();
  }
  std::string pattern = folder + "." + name + ".XXXXXX";
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) {
    error_ = errnoText();
    return failed();
  }
  temp_ = pattern;
  slot_ = recordPending(temp_);
  // Keep an existing target's permissions; else what a plain create would give.
  mode_t mode;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
  return true;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "file is not open";
    return false;
  }
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    size_t chunk = size;
    if (g_failAfter >= 0) {
      if (g_written >= g_failAfter) {
        error_ = "No space left on device";
        return failed();
      }
      chunk = std::min<size_t>(chunk, static_cast<size_t>(g_failAfter - g_written));
    }
    const ssize_t n = ::write(fd_, p, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errnoText();
      return failed();
    }
    g_written += n;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFile::commit() { return finish(true); }

bool AtomicFile::commitNoReplace() { return finish(false); }

bool AtomicFile::finish(bool replace) {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "file is not open";
    return false;
  }
  if (g_sync && ::fsync(fd_) != 0 && errno != EINVAL) {
    error_ = errnoText();
    discard();
    return failed();
  }
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) {
    error_ = errnoText();
    ::unlink(temp_.c_str());
    release();
    return failed();
  }
  if (!replace) {
    const bool renamed = renameNoReplace(temp_, target_, &error_);
    if (!renamed) ::unlink(temp_.c_str());
    release();
    return renamed;
  }
  const int injected = injectedRenameFailure();
  if (injected != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
    error_ = injected != 0 ? std::strerror(injected) : errnoText();
    ::unlink(temp_.c_str());
    release();
    return failed();
  }
  release();
  return true;
}

void AtomicFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    release();
  }
}

// The temporary is gone or renamed: forget its name.
void AtomicFile::release() {
  if (slot_ >= 0) g_pending[slot_].used = 0;
  slot_ = -1;
  temp_.clear();
}

bool writeFileAtomic(const std::string& target, std::span<const uint8_t> data, std::string* error) {
  AtomicFile file;
  const bool ok = file.open(target) && file.write(data) && file.commit();
  if (!ok && error) *error = file.error();
  return ok;
}

} // namespace velmora
