// Owners of Windows handles: each closes its handle exactly once, when it goes out of scope.
#pragma once

#include <windows.h>

namespace win32 {

template <typename Handle, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle handle) : handle_(handle) {}
  ~Unique() { Reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(other.Release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return handle_; }
  bool Valid() const { return Traits::Valid(handle_); }
  Handle* Receive() {
    Reset();
    return &handle_;
  }
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};

struct LocalMemoryTraits {
  static char* Invalid() { return nullptr; }
  static bool Valid(char* p) { return p != nullptr; }
  static void Close(char* p) { ::LocalFree(p); }
};

struct LibraryTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool Valid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { ::FreeLibrary(h); }
};

struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static bool Valid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};

using UniqueHandle = Unique<HANDLE, KernelHandleTraits>;  // processes, events
using UniqueFile = Unique<HANDLE, FileHandleTraits>;      // CreateFileA
using UniqueFind = Unique<HANDLE, FindHandleTraits>;      // FindFirstFileA
using LocalText = Unique<char*, LocalMemoryTraits>;       // FormatMessageA buffers
using UniqueLibrary = Unique<HMODULE, LibraryTraits>;     // LoadLibraryExA
using UniqueKey = Unique<HKEY, KeyTraits>;                // registry keys the back-end opens itself

}  // namespace win32
