// Files and directories, with narrow (ANSI) paths as Windows takes them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
constexpr std::uint32_t kFileAttributeHidden = 0x02;
constexpr std::uint32_t kFileAttributeSystem = 0x04;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

// One entry of a directory search.
struct FoundFile {
  std::string path;       // the pattern up to its last separator, followed by the name
  std::string name;       // the name alone
  bool directory = false;
  bool dots = false;      // "." or ".."
  bool link = false;      // a symbolic link or junction (a reparse point)
};

// True when `name` can stand for one entry of a directory by itself: not empty, not "." or "..",
// and without a separator. A listed name that fails this could lead out of its directory (a
// narrow listing can turn a look-alike character, such as a fullwidth reverse solidus, into '\').
inline bool IsEntryName(const char* name) {
  if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  return std::strpbrk(name, "\\/") == nullptr;
}

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // CopyFileA(source, destination, failIfExists).
  virtual bool CopyFile(const char* source, const char* destination, bool failIfExists) = 0;
  // DeleteFileA.
  virtual bool DeleteFile(const char* path) = 0;
  // CreateDirectoryA(path, NULL).
  virtual bool CreateDirectory(const char* path) = 0;
  // RemoveDirectoryA.
  virtual bool RemoveDirectory(const char* path) = 0;
  // SetCurrentDirectoryA.
  virtual bool SetCurrentDirectory(const char* path) = 0;
  // GetCurrentDirectoryA(size, buffer): the length written, 0 on failure.
  virtual std::uint32_t GetCurrentDirectory(std::uint32_t size, char* buffer) = 0;
  // GetTempPathA(size, buffer): the length written (the path ends with a backslash), 0 on failure.
  virtual std::uint32_t GetTempPath(std::uint32_t size, char* buffer) = 0;
  // GetFileAttributesA: the attributes, or kInvalidFileAttributes when there is no such file.
  virtual std::uint32_t GetFileAttributes(const char* path) = 0;
  // SetFileAttributesA.
  virtual bool SetFileAttributes(const char* path, std::uint32_t attributes) = 0;
  // CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, attributes, NULL), opening a link in the
  // path's place rather than what it points at: a new plain file, or 0 (anything already there fails).
  virtual FileRef CreateFileForWrite(const char* path, std::uint32_t attributes) = 0;
  // WriteFile of all the bytes; false when not all were written.
  virtual bool WriteFile(FileRef file, const void* data, std::uint32_t size) = 0;
  // SetFileTime(file, creation, access, write), file times in 100 ns units since 1601 UTC.
  virtual void SetFileTime(FileRef file, std::uint64_t creation, std::uint64_t access, std::uint64_t write) = 0;
  // CloseHandle on the file.
  virtual void CloseFile(FileRef file) = 0;
  // A directory search by wildcard pattern (such as "C:\dir/*.*"): every entry, "." and ".."
  // included; false when nothing can be searched there.
  virtual bool FindFiles(const char* pattern, std::vector<FoundFile>* found) = 0;

  // Directories held open. A directory is opened without following a link in its place and is
  // held only when the opened object is a plain directory (no link, junction or other reparse
  // point). It is held without sharing deletion: while held, nobody can rename, remove or swap it,
  // so a path through it keeps meaning the directory that was checked.

  // Opens and holds the directory at `path`; 0 when it is missing, not a plain directory, or busy.
  [[nodiscard]] virtual DirectoryRef OpenDirectory(const char* path) = 0;
  // Opens and holds the directory `name` inside the held `parent`, as OpenDirectory does; 0 also
  // when `name` holds a separator or is "." or "..".
  [[nodiscard]] virtual DirectoryRef OpenChildDirectory(DirectoryRef parent, const char* name) = 0;
  // Every entry of the held directory, "." and ".." included; false when it cannot be listed.
  [[nodiscard]] virtual bool ListDirectory(DirectoryRef directory, std::vector<FoundFile>* found) = 0;
  // Deletes the file or link `name` inside the held `parent`: a link goes as a link, what it points
  // at is never touched; a plain directory is never deleted here. False when nothing was deleted.
  [[nodiscard]] virtual bool DeleteChild(DirectoryRef parent, const char* name) = 0;
  // Releases the held directory, then removes it when it is empty. False when it stays.
  [[nodiscard]] virtual bool CloseAndRemoveDirectory(DirectoryRef directory) = 0;
  // Releases the held directory.
  virtual void CloseDirectory(DirectoryRef directory) = 0;

  // Reading a file back whole.
  // CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
  // NULL), ReadFile to its end, CloseHandle: the file's bytes in *content; false when it cannot
  // be opened or read, or holds more than `limit` bytes (then nothing beyond the limit is read,
  // and the last error is ERROR_MORE_DATA). *content is written only on success.
  [[nodiscard]] virtual bool ReadWholeFile(const char* path, std::uint32_t limit, std::string* content) = 0;
};

}  // namespace platform
