#pragma once

#include <cerrno>

#include "base/AtomicFile.h"

namespace velmora::test {

// One injected disk fault for a scope; every hook is off again afterwards.
class InjectedFault {
public:
  enum class Kind { DiskFullAt, OpenFails, RenameFails };

  InjectedFault(Kind kind, long long atByte = 0) {
    if (kind == Kind::DiskFullAt) setAtomicWriteFailureAfter(atByte);
    if (kind == Kind::OpenFails) setAtomicOpenFailure(EACCES);
    if (kind == Kind::RenameFails) setRenameFailure(EIO);
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
