#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

#include "base/FileSystem.h"
#include "base/Format.h"
#include "base/Messages.h"

namespace velmora {

namespace {

long long g_failAfter = -1;
long long g_written = 0;
int g_openFailure = 0;
int g_renameFailure = 0;
int g_renamesBeforeFailure = 0;
int g_renamesToFail = -1; // negative: every one
unsigned long g_writeFailures = 0;
// VELMORA_FSYNC=0 in the environment turns syncing off for the whole program.
bool g_sync = [] {
  const char* value = std::getenv("VELMORA_FSYNC");
  return !(value && std::strcmp(value, "0") == 0);
}();

std::string errnoText() { return std::strerror(errno); }

// As the kernel bounds a chain of links when it opens a path.
constexpr int kMaxLinkDepth = 40;
// The longest file name most Linux file systems take.
constexpr size_t kMaxNameBytes = 255;
constexpr size_t kRandomChars = 6;

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// "." + name + "." + random letters, within the longest legal name: a long
// target name gives only its start.
std::string temporaryName(const std::string& name) {
  thread_local std::mt19937_64 engine(
      std::random_device{}() ^ (static_cast<uint64_t>(::getpid()) << 32) ^
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string temp = "." + name.substr(0, std::min(name.size(), kMaxNameBytes - kRandomChars - 2)) + ".";
  std::uniform_int_distribution<size_t> pick(0, sizeof(kLetters) - 2);
  for (size_t i = 0; i < kRandomChars; ++i)
    temp += kLetters[pick(engine)];
  return temp;
}

// Creates a file of a new name in `folder`. The mode goes through the umask
// as for a plain create, so a new file never stays private by accident.
int createTemporary(const std::string& folder, const std::string& name, mode_t mode, std::string& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + temporaryName(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
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

// A replaced file's owner and mode on its replacement. Owner first: a change
// of owner clears the set-id bits the mode then restores. If the mode cannot
// be set the file keeps the old bits less the umask, from its create.
void keepOwnerAndMode(int fd, uid_t uid, gid_t gid, mode_t mode) {
  if ((uid != ::geteuid() || gid != ::getegid()) && ::fchown(fd, uid, gid) != 0)
    (void)::fchown(fd, static_cast<uid_t>(-1), gid);
  (void)::fchmod(fd, mode & 07777);
}

// followSymbolicLinks, keeping what the last look found: the file itself
// when `exists`, so no second stat is needed.
std::string resolveLinks(const std::string& path, struct stat& st, bool& exists) {
  exists = false;
  std::string current = path;
  for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
    // Not there (a new file) or not a link: this is the file.
    if (::lstat(current.c_str(), &st) != 0) return current;
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      return current;
    }
    std::string to(PATH_MAX, '\0');
    const ssize_t n = ::readlink(current.c_str(), to.data(), to.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) >= to.size()) {
      errno = ENAMETOOLONG;
      return {};
    }
    to.resize(static_cast<size_t>(n));
    if (to.empty()) {
      errno = ENOENT;
      return {};
    }
    // A relative link is read from the folder that holds it.
    current = to.front() == '/' ? to : folderOf(current) + to;
  }
  errno = ELOOP;
  return {};
}

} // namespace

void setAtomicWriteFailureAfter(long long bytes) {
  g_failAfter = bytes;
  g_written = 0;
}

void setAtomicSync(bool on) { g_sync = on; }
bool atomicSync() { return g_sync; }

void setAtomicOpenFailure(int error) { g_openFailure = error; }
void setRenameFailure(int error, int succeeding, int failing) {
  g_renameFailure = error;
  g_renamesBeforeFailure = succeeding;
  g_renamesToFail = failing;
}

unsigned long atomicWriteFailures() { return g_writeFailures; }

int injectedRenameFailure() {
  if (g_renameFailure == 0) return 0;
  if (g_renamesBeforeFailure > 0) {
    --g_renamesBeforeFailure;
    return 0;
  }
  const int error = g_renameFailure;
  if (g_renamesToFail > 0 && --g_renamesToFail == 0) g_renameFailure = 0;
  return error;
}

void unlinkOpenTemporaries() {
  for (PendingTemp& pending : g_pending)
    if (pending.used != 0) ::unlink(pending.path);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), slot_(std::exchange(other.slot_, -1)), target_(std::move(other.target_)),
      temp_(std::move(other.temp_)), error_(std::move(other.error_)), stage_(other.stage_), found_(other.found_),
      fallback_(std::move(other.fallback_)), refusal_(std::move(other.refusal_)) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this != &other) {
    discard();
    fd_ = std::exchange(other.fd_, -1);
    slot_ = std::exchange(other.slot_, -1);
    target_ = std::move(other.target_);
    temp_ = std::move(other.temp_);
    error_ = std::move(other.error_);
    stage_ = other.stage_;
    found_ = other.found_;
    fallback_ = std::move(other.fallback_);
    refusal_ = std::move(other.refusal_);
  }
  return *this;
}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(WriteStage stage, std::string error) {
  // Every failure to create, write or commit a file passes through here.
  ++g_writeFailures;
  stage_ = stage;
  error_ = std::move(error);
  return false;
}

void AtomicFile::lookAt(const std::string& target, const std::string& fallback) {
  discard();
  error_.clear();
  stage_ = WriteStage::None;
  fallback_ = fallback;
  refusal_.clear();
  found_ = {};
  // A link is written through to the file it names, which is replaced in its own folder.
  struct stat existing {};
  bool exists = false;
  target_ = resolveLinks(target, existing, exists);
  if (exists)
    found_ = Found{.exists = true,
                   .regular = S_ISREG(existing.st_mode),
                   .directory = S_ISDIR(existing.st_mode),
                   .mode = existing.st_mode,
                   .uid = existing.st_uid,
                   .gid = existing.st_gid,
                   .links = existing.st_nlink};
}

bool AtomicFile::open(const std::string& target) {
  lookAt(target, {});
  if (target_.empty()) return fail(WriteStage::Create, errnoText());
  if (found_.directory) return fail(WriteStage::Create, std::strerror(EISDIR));
  // A read-only target fails as a plain create would; one with other hard
  // links is refused as it stands.
  if (const std::string why = targetRefusal(); !why.empty())
    return fail(found_.mode & S_IWUSR ? WriteStage::Refused : WriteStage::Create, why);
  if (g_openFailure != 0) return fail(WriteStage::Create, std::strerror(g_openFailure));
  const std::string folder = folderOf(target_);
  if (!createIn(folder, target_.substr(folder.size()), found_.exists ? (found_.mode & 0666) : 0666))
    return fail(WriteStage::Create, errnoText());
  if (found_.exists) keepOwnerAndMode(fd_, found_.uid, found_.gid, found_.mode);
  return true;
}

bool AtomicFile::createIn(const std::string& folder, const std::string& name, unsigned mode) {
  std::string temp;
  fd_ = createTemporary(folder, name, static_cast<mode_t>(mode), temp);
  if (fd_ < 0) return false;
  temp_ = temp;
  slot_ = recordPending(temp_);
  return true;
}

bool AtomicFile::openOr(const std::string& target, const std::string& fallback) {
  lookAt(target, fallback);
  int why = target_.empty() ? errno : 0;
  const std::string fallbackFolder = folderOf(fallback);
  if (g_openFailure != 0) return fail(WriteStage::Create, std::strerror(g_openFailure));
  // A new file: the mode goes through the umask, as for a file under the fallback name.
  if (!target_.empty()) {
    const std::string folder = folderOf(target_);
    if (createIn(folder, target_.substr(folder.size()), 0666)) return true;
    why = errno;
    // A link into a folder closed to us: the fallback's folder still takes the file.
    if (folder == fallbackFolder) return fail(WriteStage::Create, std::strerror(why));
  }
  // No name to rename over: the file can only take its fallback name.
  refusal_ = std::strerror(why);
  if (!createIn(fallbackFolder, fallback.substr(fallbackFolder.size()), 0666))
    return fail(WriteStage::Create, errnoText());
  return true;
}

std::string AtomicFile::targetRefusal() const {
  // A read-only target stays read-only, as a plain create would find it (even for root).
  if (found_.exists && !(found_.mode & S_IWUSR)) return std::strerror(EACCES);
  // Its other names would keep the old bytes: better to say so than to split them.
  if (found_.exists && found_.regular && found_.links > 1) return base_msg::kHasHardLinks;
  return {};
}

AtomicFile::Placed AtomicFile::commitOr() {
  if (fd_ < 0) {
    if (error_.empty()) fail(WriteStage::Write, "file is not open");
    return Placed::Neither;
  }
  if (g_sync && ::fsync(fd_) != 0 && errno != EINVAL) {
    fail(WriteStage::Write, errnoText());
    discard();
    return Placed::Neither;
  }
  if (refusal_.empty()) refusal_ = targetRefusal();
  if (refusal_.empty())
    if (const int injected = injectedRenameFailure()) refusal_ = std::strerror(injected);
  if (refusal_.empty() && found_.exists && found_.regular) keepOwnerAndMode(fd_, found_.uid, found_.gid, found_.mode);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) {
    fail(WriteStage::Write, errnoText());
    ::unlink(temp_.c_str());
    release();
    return Placed::Neither;
  }
  if (refusal_.empty()) {
    if (::rename(temp_.c_str(), target_.c_str()) == 0) {
      release();
      return Placed::Target;
    }
    refusal_ = errnoText();
  }
  std::string error;
  if (renameNoReplace(temp_, fallback_, &error)) {
    release();
    return Placed::Fallback;
  }
  fail(WriteStage::Place, error);
  ::unlink(temp_.c_str());
  release();
  return Placed::Neither;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (fd_ < 0) {
    if (error_.empty()) return fail(WriteStage::Write, "file is not open");
    return false;
  }
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    size_t chunk = size;
    if (g_failAfter >= 0) {
      if (g_written >= g_failAfter) return fail(WriteStage::Write, std::strerror(ENOSPC));
      chunk = std::min<size_t>(chunk, static_cast<size_t>(g_failAfter - g_written));
    }
    const ssize_t n = ::write(fd_, p, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(WriteStage::Write, errnoText());
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
    if (error_.empty()) return fail(WriteStage::Write, "file is not open");
    return false;
  }
  if (g_sync && ::fsync(fd_) != 0 && errno != EINVAL) {
    fail(WriteStage::Write, errnoText());
    discard();
    return false;
  }
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) {
    fail(WriteStage::Write, errnoText());
    ::unlink(temp_.c_str());
    release();
    return false;
  }
  if (!replace) {
    std::string error;
    const bool renamed = renameNoReplace(temp_, target_, &error);
    if (!renamed) {
      fail(WriteStage::Place, error);
      ::unlink(temp_.c_str());
    }
    release();
    return renamed;
  }
  const int injected = injectedRenameFailure();
  if (injected != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
    fail(WriteStage::Place, injected != 0 ? std::strerror(injected) : errnoText());
    ::unlink(temp_.c_str());
    release();
    return false;
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

bool writeFileAtomic(const std::string& target, std::span<const uint8_t> data, std::string* error, WriteStage* stage) {
  AtomicFile file;
  const bool ok = file.open(target) && file.write(data) && file.commit();
  if (!ok && error) *error = file.error();
  if (stage) *stage = ok ? WriteStage::None : file.stage();
  return ok;
}

AtomicFile::Placed writeFileAtomicOr(const std::string& target, const std::string& fallback,
                                     std::span<const uint8_t> data, std::string& refusal, std::string& error) {
  AtomicFile file;
  AtomicFile::Placed placed = AtomicFile::Placed::Neither;
  if (file.openOr(target, fallback) && file.write(data)) placed = file.commitOr();
  refusal = file.refusal();
  error = file.error();
  return placed;
}

std::string writeFailureMessage(const std::string& path, WriteStage stage, const std::string& error,
                                const std::string& cannotOpen) {
  if (stage == WriteStage::Write || stage == WriteStage::Refused)
    return strprintf(base_msg::kWriteFailed, path.c_str(), error.c_str());
  return cannotOpen.empty() ? strprintf(base_msg::kUnableToOpen, path.c_str()) : cannotOpen;
}

std::string followSymbolicLinks(const std::string& path) {
  struct stat st {};
  bool exists = false;
  return resolveLinks(path, st, exists);
}

} // namespace velmora
