// The host machine's files and clock as the ZIP reader reaches them, for the `unpack` command:
// every path must lie inside one root folder, and nothing outside it is ever touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace host {

class HostFileSystem : public platform::IFileSystem {
 public:
  // `root` is an absolute host folder that ends with "/".
  explicit HostFileSystem(std::string root) : root_(std::move(root)) {}

  bool CopyFile(const char*, const char*, bool) override { return false; }
  bool DeleteFile(const char* path) override;
  bool CreateDirectory(const char* path) override;
  bool RemoveDirectory(const char*) override { return false; }
  bool SetCurrentDirectory(const char*) override { return false; }
  // The root folder.
  std::uint32_t GetCurrentDirectory(std::uint32_t size, char* buffer) override;
  std::uint32_t GetTempPath(std::uint32_t, char*) override { return 0; }
  std::uint32_t GetFileAttributes(const char* path) override;
  bool SetFileAttributes(const char* path, std::uint32_t attributes) override;
  // Creates a new file only; a file or link already in the path's place is never opened.
  platform::FileRef CreateFileForWrite(const char* path, std::uint32_t attributes) override;
  bool WriteFile(platform::FileRef file, const void* data, std::uint32_t size) override;
  // Sets the access and modification times; the host keeps no creation time.
  void SetFileTime(platform::FileRef file, std::uint64_t creation, std::uint64_t access, std::uint64_t write) override;
  void CloseFile(platform::FileRef file) override;
  bool FindFiles(const char*, std::vector<platform::FoundFile>*) override { return false; }
  // A directory inside the root that is no symbolic link, held open as a descriptor.
  platform::DirectoryRef OpenDirectory(const char* path) override;
  platform::DirectoryRef OpenChildDirectory(platform::DirectoryRef, const char*) override { return 0; }
  bool ListDirectory(platform::DirectoryRef, std::vector<platform::FoundFile>*) override { return false; }
  bool DeleteChild(platform::DirectoryRef, const char*) override { return false; }
  bool CloseAndRemoveDirectory(platform::DirectoryRef) override { return false; }
  void CloseDirectory(platform::DirectoryRef directory) override;
  bool ReadWholeFile(const char*, std::uint32_t, std::string*) override { return false; }

 private:
  // The host form of a path inside the root (backslashes as slashes); false when it lies outside.
  bool Inside(const char* path, std::string* host) const;

  std::string root_;
};

class HostSystem : public platform::ISystem {
 public:
  bool GetVersion(platform::OsVersion*) override { return false; }
  std::uint16_t NativeProcessorArchitecture() override { return platform::kArchitectureUnknown; }
  std::uint16_t UserDefaultUiLanguage() override { return 1033; }
  void Sleep(std::uint32_t) override {}
  std::uint32_t LastError() override { return 0; }
  bool ErrorText(std::uint32_t, std::string*) override { return false; }
  void DebugOutput(const char*) override {}
  std::string SystemDirectory() override { return std::string(); }
  platform::SystemTime LocalTime() override { return platform::SystemTime(); }
  // The host's time zone rules; fails for a time that is no calendar time.
  bool LocalTimeToUtcFileTime(const platform::SystemTime& local, std::uint64_t* fileTime) override;
};

}  // namespace host
