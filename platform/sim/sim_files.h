// The simulated machine's file system. Windows paths ("C:\dir\file", relative paths against the
// current directory, either separator) map onto a host directory of the machine, one folder per
// drive letter, with names matched without regard to case. What POSIX has no place for (the
// attribute bits, the three file times) is kept beside it, where tests can read it.
//
// Links are host symbolic links: one to a directory stands for a junction, one to a file for a
// file symbolic link; both report the reparse-point attribute and are followed as Windows follows
// them, except by the operations that open a link itself. A directory held open (OpenDirectory)
// is pinned: neither it nor a directory above it can be removed or swapped while it is held, as a
// Windows directory held without shared deletion. A test can act between two calls of the code
// under test through `between`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_system.h"

namespace sim {

struct FileTimes {
  std::uint64_t creation = 0;
  std::uint64_t access = 0;
  std::uint64_t write = 0;
};

class SimFileSystem : public platform::IFileSystem {
 public:
  // Makes an empty machine under `hostRoot` (created; removed again by the destructor), with
  // the drive C:, the temporary folder and the system directory present.
  SimFileSystem(const std::filesystem::path& hostRoot, SimSystem& system, Faults& faults, Trace& trace);
  ~SimFileSystem() override;

  bool CopyFile(const char* source, const char* destination, bool failIfExists) override;
  bool DeleteFile(const char* path) override;
  bool CreateDirectory(const char* path) override;
  bool RemoveDirectory(const char* path) override;
  bool SetCurrentDirectory(const char* path) override;
  std::uint32_t GetCurrentDirectory(std::uint32_t size, char* buffer) override;
  std::uint32_t GetTempPath(std::uint32_t size, char* buffer) override;
  std::uint32_t GetFileAttributes(const char* path) override;
  bool SetFileAttributes(const char* path, std::uint32_t attributes) override;
  platform::FileRef CreateFileForWrite(const char* path, std::uint32_t attributes) override;
  bool WriteFile(platform::FileRef file, const void* data, std::uint32_t size) override;
  void SetFileTime(platform::FileRef file, std::uint64_t creation, std::uint64_t access, std::uint64_t write) override;
  void CloseFile(platform::FileRef file) override;
  bool FindFiles(const char* pattern, std::vector<platform::FoundFile>* found) override;

  platform::DirectoryRef OpenDirectory(const char* path) override;
  platform::DirectoryRef OpenChildDirectory(platform::DirectoryRef parent, const char* name) override;
  bool ListDirectory(platform::DirectoryRef directory, std::vector<platform::FoundFile>* found) override;
  bool DeleteChild(platform::DirectoryRef parent, const char* name) override;
  bool CloseAndRemoveDirectory(platform::DirectoryRef directory) override;
  void CloseDirectory(platform::DirectoryRef directory) override;

  // The absolute Windows form of a path: drive letter in upper case, backslashes, "." and ".."
  // resolved against the current directory.
  std::string Absolute(const std::string& path) const;
  // Where a Windows path lies on the host (existing names matched without regard to case).
  std::filesystem::path HostPath(const std::string& path) const;
  // Test set-up and inspection.
  void PutFile(const std::string& path, const std::string& content, std::uint32_t attributes = platform::kFileAttributeArchive);
  void PutDirectory(const std::string& path);
  std::optional<std::string> ReadFile(const std::string& path) const;
  bool Exists(const std::string& path) const;
  bool IsDirectory(const std::string& path) const;
  void SetAttributes(const std::string& path, std::uint32_t attributes);
  FileTimes Times(const std::string& path) const;
  std::size_t OpenFileCount() const { return open_.size(); }
  // A link at `path` to `target` (a junction when the target is a directory); the target need not exist.
  void PutLink(const std::string& path, const std::string& target);
  // What another program may do: moves the directory at `path` to `movedTo` and puts a junction
  // to `target` in its place. False, and nothing changed, while the directory is pinned.
  bool SwapForJunction(const std::string& path, const std::string& target, const std::string& movedTo);
  // True while the directory, or one inside it, is held open.
  bool Pinned(const std::string& path) const;
  std::size_t OpenDirectoryCount() const { return directories_.size(); }

  // Called after each directory listing ("FindFiles", with the listed directory) and before each
  // file creation ("CreateFileA", with the file's path).
  std::function<void(const std::string& call, const std::string& path)> between;

  std::string currentDirectory = "C:\\";
  std::string tempPath = "C:\\Users\\user\\AppData\\Local\\Temp\\";

 private:
  struct OpenFile {
    std::string path;
    std::FILE* stream = nullptr;
  };
  struct Meta {
    std::uint32_t attributes = platform::kFileAttributeArchive;
    FileTimes times;
  };

  bool Fails(const char* call);
  bool Fail(std::uint32_t error);
  std::string Key(const std::string& path) const;
  std::uint32_t AttributesOf(const std::string& path) const;

  std::filesystem::path root_;
  SimSystem& system_;
  Faults& faults_;
  Trace& trace_;
  std::map<std::string, Meta> meta_;
  std::map<platform::FileRef, OpenFile> open_;
  platform::FileRef nextFile_ = 0x100;
  std::map<platform::DirectoryRef, std::string> directories_;  // held directories, absolute paths
  platform::DirectoryRef nextDirectory_ = 0x100;

 public:
  // Reading a file back whole; the fault name is "ReadFile".
  bool ReadWholeFile(const char* path, std::uint32_t limit, std::string* content) override;
};

}  // namespace sim
