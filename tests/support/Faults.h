#pragma once

#include <cerrno>

#include "base/AtomicFile.h"

namespace velmora::test {

// One injected disk fault for a scope; every hook is off again afterwards.
class InjectedFault {
public:
  enum class Kind { DiskFullAt, OpenFails, RenameFails, OneRenameFails };

  // `at`: the byte a full disk stops at, or the renames that still succeed.
  InjectedFault(Kind kind, long long at = 0) {
    if (kind == Kind::DiskFullAt) setAtomicWriteFailureAfter(at);
    if (kind == Kind::OpenFails) setAtomicOpenFailure(EACCES);
    if (kind == Kind::RenameFails) setRenameFailure(EIO, static_cast<int>(at));
    if (kind == Kind::OneRenameFails) setRenameFailure(EIO, static_cast<int>(at), 1);
  }
  ~InjectedFault() {
    setAtomicWriteFailureAfter(-1);
    setAtomicOpenFailure(0);
    setRenameFailure(0);
  }
  InjectedFault(const InjectedFault&) = delete;
  InjectedFault& operator=(const InjectedFault&) = delete;
};

} // namespace velmora::test
