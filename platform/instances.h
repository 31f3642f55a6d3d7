// Copies of the program running at the same time, told apart by a name that all of them share.
#pragma once

namespace platform {

class IProgramInstances {
 public:
  virtual ~IProgramInstances() = default;
  // Marks this copy as running under the name (CreateMutexA with the name, kept open).
  virtual void Register(const char* name) = 0;
  // Ends this copy's mark; true only when no other copy holds the name any more (OpenMutexA
  // finds no object of that name). Without a mark of this copy, false.
  virtual bool ReleaseAndCheckLast(const char* name) = 0;
};

}  // namespace platform
