#include "platform/win32/system_library.h"

#include <map>
#include <string>

#include "platform/win32/handles.h"

namespace win32 {

namespace {

std::string SystemDirectoryPath() {
  char directory[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return directory;
}

}  // namespace

HMODULE SystemLibrary(const char* fileName) {
  static std::map<std::string, UniqueLibrary> loaded;
  auto found = loaded.find(fileName);
  if (found != loaded.end()) return found->second.Get();
  const std::string directory = SystemDirectoryPath();
  if (directory.empty()) return nullptr;
  const std::string path = directory + "\\" + fileName;
  // LOAD_WITH_ALTERED_SEARCH_PATH: the library's own dependencies are looked up beside it.
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  loaded[fileName].Reset(module);
  return module;
}

FARPROC SystemFunction(const char* fileName, const char* functionName) {
  HMODULE module = SystemLibrary(fileName);
  return module == nullptr ? nullptr : ::GetProcAddress(module, functionName);
}

FARPROC SystemFunctionByOrdinal(const char* fileName, WORD ordinal) {
  HMODULE module = SystemLibrary(fileName);
  return module == nullptr ? nullptr : ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

void RestrictLibrarySearchToSystemDirectory() {
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr && setDefault(kSearchSystem32)) return;
  // Older systems: at least take the current directory out of the search.
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDirectory != nullptr) setDirectory("");
}

}  // namespace win32
