#include <windows.h>

#include <cstring>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

HANDLE File(platform::FileRef file) { return reinterpret_cast<HANDLE>(file); }

FILETIME ToFileTime(std::uint64_t time) {
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(time);
  result.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return result;
}

}  // namespace

bool FileSystem::CopyFile(const char* source, const char* destination, bool failIfExists) {
  return ::CopyFileA(source, destination, failIfExists ? TRUE : FALSE) != FALSE;
}

bool FileSystem::DeleteFile(const char* path) { return ::DeleteFileA(path) != FALSE; }

bool FileSystem::CreateDirectory(const char* path) { return ::CreateDirectoryA(path, nullptr) != FALSE; }

bool FileSystem::RemoveDirectory(const char* path) { return ::RemoveDirectoryA(path) != FALSE; }

bool FileSystem::SetCurrentDirectory(const char* path) { return ::SetCurrentDirectoryA(path) != FALSE; }

std::uint32_t FileSystem::GetCurrentDirectory(std::uint32_t size, char* buffer) {
  return ::GetCurrentDirectoryA(size, buffer);
}

std::uint32_t FileSystem::GetTempPath(std::uint32_t size, char* buffer) { return ::GetTempPathA(size, buffer); }

std::uint32_t FileSystem::GetFileAttributes(const char* path) { return ::GetFileAttributesA(path); }

bool FileSystem::SetFileAttributes(const char* path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path, attributes) != FALSE;
}

platform::FileRef FileSystem::CreateFileForWrite(const char* path, std::uint32_t attributes) {
  HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  return file == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<platform::FileRef>(file);
}

bool FileSystem::WriteFile(platform::FileRef file, const void* data, std::uint32_t size) {
  DWORD written = 0;
  return ::WriteFile(File(file), data, size, &written, nullptr) != FALSE && written == size;
}

void FileSystem::SetFileTime(platform::FileRef file, std::uint64_t creation, std::uint64_t access,
                             std::uint64_t write) {
  const FILETIME created = ToFileTime(creation);
  const FILETIME accessed = ToFileTime(access);
  const FILETIME written = ToFileTime(write);
  ::SetFileTime(File(file), &created, &accessed, &written);
}

void FileSystem::CloseFile(platform::FileRef file) { ::CloseHandle(File(file)); }

bool FileSystem::FindFiles(const char* pattern, std::vector<platform::FoundFile>* found) {
  WIN32_FIND_DATAA data;
  UniqueFind search(::FindFirstFileA(pattern, &data));
  if (!search.Valid()) return false;
  const char* cut = std::strrchr(pattern, '\\');
  const char* slash = std::strrchr(pattern, '/');
  if (slash != nullptr && (cut == nullptr || slash > cut)) cut = slash;
  const std::string prefix = cut == nullptr ? std::string() : std::string(pattern, cut + 1);
  do {
    platform::FoundFile entry;
    entry.name = data.cFileName;
    entry.path = prefix + entry.name;
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.dots = entry.name == "." || entry.name == "..";
    entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    found->push_back(entry);
  } while (::FindNextFileA(search.Get(), &data));
  return true;
}

// Reads in pieces and stops at the first piece that would pass the limit.
bool FileSystem::ReadWholeFile(const char* path, std::uint32_t limit, std::string* content) {
  UniqueFile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file.Valid()) return false;
  std::string bytes;
  char chunk[65536];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr)) return false;
    if (read == 0) break;
    if (read > limit - bytes.size()) return false;
    bytes.append(chunk, read);
  }
  *content = std::move(bytes);
  return true;
}

}  // namespace win32
