#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// Where a write failed: the file could not be created, could not be written
// whole, could not be put in place of the target, or the target was refused
// as it stands (it has other hard links).
enum class WriteStage { None, Create, Write, Place, Refused };

// A file written to a temporary name in the target's folder and renamed over
// the target only on commit(). Destroying it uncommitted removes the
// temporary, so a failure or a cancel never leaves a partial file behind and
// never touches an existing target.
//
// A target that is a symbolic link (or a chain of them) is written through:
// the file it names is replaced in its own folder and the link stays. A
// replaced file keeps its permission bits and, where the process may, its
// owner and group. A target with other hard links is refused, since a new
// file could not take its place under its other names.
class AtomicFile {
public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&& other) noexcept;
  ~AtomicFile();

  // Creates the temporary file; false (with error() and stage()) when the
  // folder is not writable or the target cannot be replaced.
  bool open(const std::string& target);
  bool write(const void* data, size_t size);
  bool write(std::span<const uint8_t> data) { return write(data.data(), data.size()); }
  // Flushes, closes and renames over the target (replacing it).
  bool commit();
  // The same, but an existing target is never replaced: then false, the target untouched.
  bool commitNoReplace();
  // Removes the temporary file; the target stays as it was.
  void discard();

  // Where commitOr() put the file.
  enum class Placed { Target, Fallback, Neither };
  // Creates the temporary for commitOr(): the target is looked at here, but
  // nothing about it refuses the open, since a refused target still leaves
  // the file under `fallback`. False only when no temporary can be made.
  bool openOr(const std::string& target, const std::string& fallback);
  // Renames over the target after the checks open() makes (read-only, other
  // hard links), keeping its owner and mode. When the target refuses or the
  // rename fails, the file takes the fallback name instead, never replacing
  // a file there, and refusal() says why the target did not take it. Neither:
  // the temporary is removed, error() and stage() say why.
  Placed commitOr();
  const std::string& refusal() const { return refusal_; }

  bool isOpen() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }
  WriteStage stage() const { return stage_; }

private:
  bool finish(bool replace);
  bool fail(WriteStage stage, std::string error);
  // Forgets the last file and looks at `target`: target_ is the file its
  // links name (empty, errno set, when they cannot be followed), found_ what is there.
  void lookAt(const std::string& target, const std::string& fallback);
  bool createIn(const std::string& folder, const std::string& name, unsigned mode);
  // Why the target refuses the file (read-only, other hard links), or empty.
  std::string targetRefusal() const;

  void release();

  int fd_ = -1;
  int slot_ = -1; // where a signal handler finds the temporary's name
  std::string target_;
  std::string temp_;
  std::string error_;
  WriteStage stage_ = WriteStage::None;
  // The target as open() or openOr() found it, for their checks and commitOr()'s.
  struct Found {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    uint32_t mode = 0;
    uint32_t uid = 0;
    uint32_t gid = 0;
    uint64_t links = 0;
  } found_;
  std::string fallback_;
  std::string refusal_;
};

// Whether commit() syncs the data to disk before the rename, so that a power
// loss cannot leave a renamed but empty file. On unless VELMORA_FSYNC=0 is
// in the environment or it is turned off here.
void setAtomicSync(bool on);
bool atomicSync();

// Removes the temporaries of the files being written, for a signal handler
// that ends the process at once. Async-signal-safe.
void unlinkOpenTemporaries();

// How many times creating, writing or committing a file has failed in this
// process (a no-replace commit refused by an existing target is no failure).
// The batch frame compares it around a file to tell a write failure.
unsigned long atomicWriteFailures();

// Writes the whole buffer through an AtomicFile.
bool writeFileAtomic(const std::string& target, std::span<const uint8_t> data, std::string* error = nullptr,
                     WriteStage* stage = nullptr);

// Writes the whole buffer through openOr() and commitOr(): `refusal` says why
// a file under the fallback name is not under the target's, `error` why
// neither took it.
AtomicFile::Placed writeFileAtomicOr(const std::string& target, const std::string& fallback,
                                     std::span<const uint8_t> data, std::string& refusal, std::string& error);

// What the user is told when writing `path` failed: the common "cannot open"
// text (or `cannotOpen` when a writer has its own) when the file could not be
// created or put in place, else "Unable to write file" with the reason.
std::string writeFailureMessage(const std::string& path, WriteStage stage, const std::string& error,
                                const std::string& cannotOpen = {});
inline std::string writeFailureMessage(const std::string& path, const AtomicFile& file) {
  return writeFailureMessage(path, file.stage(), file.error());
}

// The file a path names once every symbolic link on its last part is
// followed (the path itself when it is no link); empty with errno set when
// the chain is too long or a link cannot be read.
std::string followSymbolicLinks(const std::string& path);

// Test hook: when set, AtomicFile::write fails once this many bytes have been
// written in total, simulating a full disk. Negative turns it off.
void setAtomicWriteFailureAfter(long long bytes);

// Test hooks: while set to an errno value, AtomicFile::open (creating the
// temporary) fails with it, and so does every rename (AtomicFile::commit,
// renameNoReplace, a run's final rename) once `succeeding` more have gone
// through, `failing` times (negative: until turned off). 0 turns them off.
void setAtomicOpenFailure(int error);
void setRenameFailure(int error, int succeeding = 0, int failing = -1);
// The errno the rename about to be made must fail with, or 0; counts it.
int injectedRenameFailure();

} // namespace velmora
