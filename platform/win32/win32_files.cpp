#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

HANDLE File(platform::FileRef file) { return reinterpret_cast<HANDLE>(file); }

// A directory held open, with the path it was opened by (without a trailing separator). While it
// is held nobody can rename or remove it, so that path keeps leading to it.
struct HeldDirectory {
  UniqueFile handle;
  std::string path;
};

HeldDirectory* Held(platform::DirectoryRef directory) { return reinterpret_cast<HeldDirectory*>(directory); }

// Shared for reading and writing, never for deletion: a rename, a removal or a swap of the
// directory needs delete access, which the sharing refuses while the handle is open.
constexpr DWORD kHeldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// What the handle opened: its attributes and its number of names.
bool Describe(HANDLE handle, DWORD* attributes, DWORD* links) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!::GetFileInformationByHandle(handle, &information)) return false;
  *attributes = information.dwFileAttributes;
  *links = information.nNumberOfLinks;
  return true;
}

// The path of `name` inside the held directory; false when it does not fit MAX_PATH.
bool ChildPath(const HeldDirectory& parent, const char* name, std::string* path) {
  *path = parent.path + "\\" + name;
  return path->size() < MAX_PATH;
}

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

// A new file only, opened as what is in the path's place and not followed should a link get there;
// what the handle opened is checked to be a plain file with one name before anything is written.
platform::FileRef FileSystem::CreateFileForWrite(const char* path, std::uint32_t attributes) {
  UniqueFile file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid()) return 0;
  DWORD opened = 0;
  DWORD links = 0;
  if (!Describe(file.Get(), &opened, &links)) return 0;
  if (opened & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return 0;
  if (links != 1) return 0;
  return reinterpret_cast<platform::FileRef>(file.Release());
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

platform::DirectoryRef FileSystem::OpenDirectory(const char* path) {
  auto held = std::make_unique<HeldDirectory>();
  held->path = path;
  // Without trailing separators, but a drive's root keeps its own.
  while (held->path.size() > 3 && (held->path.back() == '\\' || held->path.back() == '/')) held->path.pop_back();
  held->handle.Reset(::CreateFileA(held->path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                   kHeldSharing, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!held->handle.Valid()) return 0;
  DWORD attributes = 0;
  DWORD links = 0;
  if (!Describe(held->handle.Get(), &attributes, &links)) return 0;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  return reinterpret_cast<platform::DirectoryRef>(held.release());
}

platform::DirectoryRef FileSystem::OpenChildDirectory(platform::DirectoryRef parent, const char* name) {
  std::string path;
  if (parent == 0 || !platform::IsEntryName(name) || !ChildPath(*Held(parent), name, &path)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return OpenDirectory(path.c_str());
}

bool FileSystem::ListDirectory(platform::DirectoryRef directory, std::vector<platform::FoundFile>* found) {
  if (directory == 0) return false;
  return FindFiles((Held(directory)->path + "\\*").c_str(), found);
}

// The attributes of the name itself: a link reports its own, with the reparse-point bit. Neither
// deletion follows a link in the last place, and the parent is held, so what is deleted lies in it.
bool FileSystem::DeleteChild(platform::DirectoryRef parent, const char* name) {
  std::string path;
  if (parent == 0 || !platform::IsEntryName(name) || !ChildPath(*Held(parent), name, &path)) return false;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ::DeleteFileA(path.c_str()) != FALSE;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return ::RemoveDirectoryA(path.c_str()) != FALSE;
  ::SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

// RemoveDirectoryA removes only an empty directory, and a link in its place only as a link.
bool FileSystem::CloseAndRemoveDirectory(platform::DirectoryRef directory) {
  if (directory == 0) return false;
  std::unique_ptr<HeldDirectory> held(Held(directory));
  const std::string path = held->path;
  held.reset();
  return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

void FileSystem::CloseDirectory(platform::DirectoryRef directory) { delete Held(directory); }

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
    if (read > limit - bytes.size()) {
      ::SetLastError(ERROR_MORE_DATA);
      return false;
    }
    bytes.append(chunk, read);
  }
  *content = std::move(bytes);
  return true;
}

}  // namespace win32
