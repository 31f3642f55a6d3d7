#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

// This copy's mark: the mutex handle, held for as long as the copy runs.
UniqueHandle& Mark() {
  static UniqueHandle mark;
  return mark;
}

}  // namespace

void ProgramInstances::Register(const char* name) { Mark().Reset(::CreateMutexA(nullptr, FALSE, name)); }

// A named object lives while any copy holds a handle to it: once this copy's handle is closed,
// the name is found again only if another copy still runs. Where the name cannot be looked up
// for another reason, another copy is assumed.
bool ProgramInstances::ReleaseAndCheckLast(const char* name) {
  if (!Mark().Valid()) return false;
  Mark().Reset();
  UniqueHandle other(::OpenMutexA(SYNCHRONIZE, FALSE, name));
  if (other.Valid()) return false;
  return ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace win32
