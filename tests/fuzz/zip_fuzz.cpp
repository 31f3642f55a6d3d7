// Fuzz target: any bytes as an embedded package, opened, listed and unpacked the way the program
// does it, into a small file system in memory. Whatever the bytes, every call returns, no path
// outside the base directory is ever touched and no file stays open.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "payload/zip_reader.h"
#include "platform/sim/sim_system.h"

namespace {

const char kBase[] = "C:\\work\\";
constexpr std::int32_t kMostEntries = 256;

[[noreturn]] void Fault(const char* what, const std::string& path) {
  std::fprintf(stderr, "%s: %s\n", what, path.c_str());
  std::abort();
}

// Directories and files by their normalised path; every path the reader passes must lie in
// the base directory.
class MemoryFiles : public platform::IFileSystem {
 public:
  MemoryFiles() { directories_.insert("C:\\work"); }

  bool CopyFile(const char*, const char*, bool) override { return false; }
  bool DeleteFile(const char* path) override { return files_.erase(Inside(path)) > 0; }
  bool CreateDirectory(const char* path) override {
    const std::string key = Inside(path);
    if (!HasParent(key) || directories_.count(key) || files_.count(key)) return false;
    directories_.insert(key);
    return true;
  }
  bool RemoveDirectory(const char*) override { return false; }
  bool SetCurrentDirectory(const char*) override { return false; }
  std::uint32_t GetCurrentDirectory(std::uint32_t size, char* buffer) override {
    std::snprintf(buffer, size, "C:\\work");
    return 7;
  }
  std::uint32_t GetTempPath(std::uint32_t, char*) override { return 0; }
  std::uint32_t GetFileAttributes(const char* path) override {
    const std::string key = Inside(path);
    if (directories_.count(key)) return platform::kFileAttributeDirectory;
    auto found = files_.find(key);
    return found == files_.end() ? platform::kInvalidFileAttributes : found->second.attributes;
  }
  bool SetFileAttributes(const char* path, std::uint32_t attributes) override {
    auto found = files_.find(Inside(path));
    if (found == files_.end()) return false;
    found->second.attributes = attributes;
    return true;
  }
  platform::FileRef CreateFileForWrite(const char* path, std::uint32_t attributes) override {
    const std::string key = Inside(path);
    if (!HasParent(key) || directories_.count(key)) return 0;
    if (files_.count(key)) return 0;
    files_[key] = File{attributes, 0};
    open_[next_] = key;
    return next_++;
  }
  bool WriteFile(platform::FileRef file, const void*, std::uint32_t size) override {
    auto found = open_.find(file);
    if (found == open_.end()) Fault("write to a file that is not open", "");
    files_[found->second].size += size;
    return true;
  }
  void SetFileTime(platform::FileRef file, std::uint64_t, std::uint64_t, std::uint64_t) override {
    if (!open_.count(file)) Fault("times of a file that is not open", "");
  }
  void CloseFile(platform::FileRef file) override {
    if (open_.erase(file) == 0) Fault("close of a file that is not open", "");
  }
  bool FindFiles(const char*, std::vector<platform::FoundFile>*) override { return false; }
  platform::DirectoryRef OpenDirectory(const char* path) override {
    if (!directories_.count(Inside(path))) return 0;
    ++held_;
    return next_++;
  }
  platform::DirectoryRef OpenChildDirectory(platform::DirectoryRef, const char*) override { return 0; }
  bool ListDirectory(platform::DirectoryRef, std::vector<platform::FoundFile>*) override { return false; }
  bool DeleteChild(platform::DirectoryRef, const char*) override { return false; }
  bool CloseAndRemoveDirectory(platform::DirectoryRef) override { return false; }
  void CloseDirectory(platform::DirectoryRef) override {
    if (held_-- == 0) Fault("release of a directory that is not held", "");
  }
  bool ReadWholeFile(const char*, std::uint32_t, std::string*) override { return false; }

  bool AllClosed() const { return open_.empty() && held_ == 0; }

 private:
  struct File {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
  };

  // The path with one backslash per separator, checked to lie inside the base directory. It is
  // read as code page 936 text: a lead byte (0x81 to 0xFE) with a trail byte (0x40 to 0xFE but
  // 0x7F) is one character, so a trail byte 0x5C is no separator.
  static std::string Inside(const char* path) {
    std::vector<std::string> parts(1);
    for (const unsigned char* at = reinterpret_cast<const unsigned char*>(path); *at != 0; ++at) {
      if (at[0] >= 0x81 && at[0] <= 0xFE && at[1] >= 0x40 && at[1] <= 0xFE && at[1] != 0x7F) {
        parts.back() += static_cast<char>(at[0]);
        parts.back() += static_cast<char>(*++at);
      } else if (*at == '\\' || *at == '/') {
        if (!parts.back().empty()) parts.emplace_back();
      } else {
        parts.back() += static_cast<char>(*at);
      }
    }
    if (parts.back().empty()) parts.pop_back();
    // Read as single bytes too (another ANSI code page), no component may name a parent.
    std::string component;
    for (const char* at = path;; ++at) {
      if (*at != '\0' && *at != '\\' && *at != '/') {
        component += *at;
        continue;
      }
      if (component.find_first_not_of(". ") == std::string::npos && component.find("..") != std::string::npos) {
        Fault("a parent component read byte by byte", path);
      }
      component.clear();
      if (*at == '\0') break;
    }
    std::string key;
    for (const std::string& part : parts) {
      if (part.find_first_not_of(". ") == std::string::npos && part.find("..") != std::string::npos) {
        Fault("a parent component", path);
      }
      key += (key.empty() ? "" : "\\") + part;
    }
    if (key != "C:\\work" && key.compare(0, sizeof kBase - 1, kBase) != 0) Fault("outside the base directory", path);
    return key;
  }
  bool HasParent(const std::string& key) const {
    const std::size_t cut = key.rfind('\\');
    return cut != std::string::npos && directories_.count(key.substr(0, cut)) > 0;
  }

  std::set<std::string> directories_;
  std::map<std::string, File> files_;
  std::map<platform::FileRef, std::string> open_;
  platform::FileRef next_ = 1;
  std::size_t held_ = 0;
};

// The entry information of `index`, asked for in a record whose every byte is first set to a
// non-zero pattern: a name must come back terminated inside its buffer however the stored name
// looks, and the zero bytes of a fresh record would hide one that is not.
[[nodiscard]] ZipStatus CheckedEntry(ZipHandle handle, std::int32_t index, ZipEntryInfo* info) {
  std::memset(static_cast<void*>(info), 0xA5, sizeof *info);
  const ZipStatus status = ZipGetEntry(handle, index, info);
  if (status == ZipOk && std::memchr(info->name, '\0', sizeof info->name) == nullptr) {
    Fault("an entry name without its terminator", std::string(info->name, sizeof info->name));
  }
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::Faults faults;
  sim::Trace trace;
  sim::SimSystem system(faults, trace);
  MemoryFiles files;
  platform::Platform machine;
  machine.system = &system;
  machine.files = &files;

  ZipHandle handle = ZipOpenMemory(machine, data, static_cast<std::uint32_t>(size));
  if (handle == nullptr) return 0;
  ZipEntryInfo count;
  if (ZipGetEntry(handle, -1, &count) != ZipOk) std::abort();
  ZipSetBaseDirectory(handle, kBase);
  const std::int32_t entries = count.index < kMostEntries ? count.index : kMostEntries;
  for (std::int32_t index = 0; index < entries; ++index) {
    ZipEntryInfo info;
    if (CheckedEntry(handle, index, &info) != ZipOk) continue;
    if (info.index != index) std::abort();
    ZipExtractEntry(handle, index, info.name);
  }
  for (std::int32_t index = entries < 16 ? entries : 16; index-- > 0;) {
    ZipEntryInfo info;
    (void)CheckedEntry(handle, index, &info);  // backwards, as a reader may be asked; only the name matters here
  }
  // Reading entries into memory by name: only the sanitisers judge it here.
  for (std::int32_t index = 0; index < entries && index < 4; ++index) {
    ZipEntryInfo info;
    if (ZipGetEntry(handle, index, &info) != ZipOk) continue;
    std::string bytes;
    (void)ZipReadEntryToMemory(handle, info.name, &bytes);  // any status will do; the reader must stay sound
  }
  ZipClose(handle);
  if (!files.AllClosed()) std::abort();
  return 0;
}
