#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr std::uint32_t kErrorDirNotEmpty = 145;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorDirectory = 267;  // the directory name is invalid (not a directory)
constexpr std::uint32_t kPathSize = 260;


std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsDrive(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::uint32_t CopyOut(const std::string& text, std::uint32_t size, char* buffer) {
  const std::uint32_t length = static_cast<std::uint32_t>(text.size());
  if (length + 1 > size) return length + 1;
  std::copy(text.begin(), text.end(), buffer);
  buffer[length] = '\0';
  return length;
}

}  // namespace

// A name that is not there: ERROR_PATH_NOT_FOUND when its folder is missing too.
static std::uint32_t MissingNameError(const SimFileSystem& files, const std::string& path) {
  const std::string absolute = files.Absolute(path);
  const std::size_t cut = absolute.find_last_of('\\');
  const std::string parent = absolute.substr(0, cut <= 2 ? 3 : cut);
  return files.IsDirectory(parent) ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
}

SimFileSystem::SimFileSystem(const fs::path& hostRoot, SimSystem& system, Faults& faults, Trace& trace)
    : root_(hostRoot), system_(system), faults_(faults), trace_(trace) {
  fs::remove_all(root_);
  fs::create_directories(root_ / "C");
  PutDirectory(tempPath);
  PutDirectory(system_.systemDirectory);
}

SimFileSystem::~SimFileSystem() {
  for (auto& entry : open_) std::fclose(entry.second.stream);
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

bool SimFileSystem::Fails(const char* call) {
  std::uint32_t error = 0;
  if (!faults_.ShouldFail(call, &error)) return false;
  system_.SetLastError(error);
  return true;
}

bool SimFileSystem::Fail(std::uint32_t error) {
  system_.SetLastError(error);
  return false;
}

std::string SimFileSystem::Absolute(const std::string& path) const {
  std::string drive;
  std::string rest;
  if (IsDrive(path)) {
    drive = path.substr(0, 2);
    rest = path.substr(2);
  } else if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
    drive = currentDirectory.substr(0, 2);
    rest = path;
  } else {
    drive = currentDirectory.substr(0, 2);
    rest = currentDirectory.substr(2) + "\\" + path;
  }
  drive[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
  std::vector<std::string> parts;
  for (const std::string& part : Components(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result = drive + "\\";
  for (std::size_t i = 0; i < parts.size(); ++i) result += (i == 0 ? "" : "\\") + parts[i];
  return result;
}

fs::path SimFileSystem::HostPath(const std::string& path) const {
  const std::string absolute = Absolute(path);
  fs::path host = root_ / std::string(1, absolute[0]);
  for (const std::string& part : Components(absolute.substr(2))) {
    fs::path next = host / part;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(next, error)) && fs::is_directory(host, error)) {
      for (const auto& entry : fs::directory_iterator(host, error)) {
        if (strcasecmp(entry.path().filename().c_str(), part.c_str()) == 0) next = entry.path();
      }
    }
    host = next;
  }
  return host;
}

std::string SimFileSystem::Key(const std::string& path) const { return Lower(Absolute(path)); }

std::uint32_t SimFileSystem::AttributesOf(const std::string& path) const {
  const fs::path host = HostPath(path);
  std::error_code error;
  const fs::file_status link = fs::symlink_status(host, error);
  if (!fs::exists(link)) return platform::kInvalidFileAttributes;
  const bool directory = fs::is_directory(host, error);
  std::uint32_t attributes = directory ? platform::kFileAttributeDirectory : platform::kFileAttributeArchive;
  auto found = meta_.find(Key(path));
  if (found != meta_.end()) attributes = found->second.attributes | (directory ? platform::kFileAttributeDirectory : 0);
  if (fs::is_symlink(link)) attributes |= platform::kFileAttributeReparsePoint;
  // A file without any attribute reads as FILE_ATTRIBUTE_NORMAL.
  return attributes == 0 ? platform::kFileAttributeNormal : attributes;
}

bool SimFileSystem::CopyFile(const char* source, const char* destination, bool failIfExists) {
  trace_.push_back(std::string("CopyFileA ") + source + " " + destination);
  if (Fails("CopyFileA")) return false;
  const std::uint32_t from = AttributesOf(source);
  if (from == platform::kInvalidFileAttributes) return Fail(MissingNameError(*this, source));
  if (from & platform::kFileAttributeDirectory) return Fail(platform::kErrorAccessDenied);
  const std::uint32_t to = AttributesOf(destination);
  if (to != platform::kInvalidFileAttributes) {
    if (failIfExists) return Fail(kErrorFileExists);
    if (to & (platform::kFileAttributeReadOnly | platform::kFileAttributeDirectory)) return Fail(platform::kErrorAccessDenied);
  }
  const fs::path target = HostPath(destination);
  std::error_code error;
  if (!fs::is_directory(target.parent_path(), error)) return Fail(platform::kErrorPathNotFound);
  fs::copy_file(HostPath(source), target, fs::copy_options::overwrite_existing, error);
  if (error) return Fail(platform::kErrorAccessDenied);
  Meta meta;
  auto found = meta_.find(Key(source));
  if (found != meta_.end()) meta = found->second;
  meta_[Key(destination)] = meta;
  return true;
}

bool SimFileSystem::DeleteFile(const char* path) {
  trace_.push_back(std::string("DeleteFileA ") + path);
  if (Fails("DeleteFileA")) return false;
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) return Fail(MissingNameError(*this, path));
  const bool link = attributes & platform::kFileAttributeReparsePoint;
  if (!link && (attributes & platform::kFileAttributeDirectory)) return Fail(platform::kErrorAccessDenied);
  if (attributes & platform::kFileAttributeReadOnly) return Fail(platform::kErrorAccessDenied);
  std::error_code error;
  fs::remove(HostPath(path), error);
  if (error) return Fail(platform::kErrorAccessDenied);
  meta_.erase(Key(path));
  return true;
}

bool SimFileSystem::CreateDirectory(const char* path) {
  trace_.push_back(std::string("CreateDirectoryA ") + path);
  if (Fails("CreateDirectoryA")) return false;
  if (AttributesOf(path) != platform::kInvalidFileAttributes) return Fail(platform::kErrorAlreadyExists);
  const fs::path host = HostPath(path);
  std::error_code error;
  if (!fs::is_directory(host.parent_path(), error)) return Fail(platform::kErrorPathNotFound);
  if (!fs::create_directory(host, error)) return Fail(platform::kErrorAccessDenied);
  meta_[Key(path)] = Meta{platform::kFileAttributeDirectory, {}};
  return true;
}

bool SimFileSystem::RemoveDirectory(const char* path) {
  trace_.push_back(std::string("RemoveDirectoryA ") + path);
  if (Fails("RemoveDirectoryA")) return false;
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) return Fail(MissingNameError(*this, path));
  if (!(attributes & platform::kFileAttributeDirectory)) return Fail(kErrorDirectory);
  if (attributes & platform::kFileAttributeReadOnly) return Fail(platform::kErrorAccessDenied);
  if (!(attributes & platform::kFileAttributeReparsePoint) && Pinned(path)) return Fail(kErrorSharingViolation);
  const fs::path host = HostPath(path);
  std::error_code error;
  if (!(attributes & platform::kFileAttributeReparsePoint) && !fs::is_empty(host, error)) return Fail(kErrorDirNotEmpty);
  fs::remove(host, error);
  if (error) return Fail(platform::kErrorAccessDenied);
  meta_.erase(Key(path));
  return true;
}

bool SimFileSystem::SetCurrentDirectory(const char* path) {
  trace_.push_back(std::string("SetCurrentDirectoryA ") + path);
  if (Fails("SetCurrentDirectoryA")) return false;
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) return Fail(MissingNameError(*this, path));
  if (!(attributes & platform::kFileAttributeDirectory)) return Fail(kErrorDirectory);
  currentDirectory = Absolute(path);
  return true;
}

std::uint32_t SimFileSystem::GetCurrentDirectory(std::uint32_t size, char* buffer) {
  if (Fails("GetCurrentDirectoryA")) return 0;
  return CopyOut(currentDirectory, size, buffer);
}

std::uint32_t SimFileSystem::GetTempPath(std::uint32_t size, char* buffer) {
  if (Fails("GetTempPathA")) return 0;
  return CopyOut(tempPath, size, buffer);
}

std::uint32_t SimFileSystem::GetFileAttributes(const char* path) {
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) system_.SetLastError(MissingNameError(*this, path));
  return attributes;
}

bool SimFileSystem::SetFileAttributes(const char* path, std::uint32_t attributes) {
  trace_.push_back(std::string("SetFileAttributesA ") + path);
  if (Fails("SetFileAttributesA")) return false;
  const std::uint32_t existing = AttributesOf(path);
  if (existing == platform::kInvalidFileAttributes) return Fail(MissingNameError(*this, path));
  std::uint32_t kept = attributes & (platform::kFileAttributeReadOnly | platform::kFileAttributeHidden |
                                     platform::kFileAttributeSystem | platform::kFileAttributeArchive);
  if (existing & platform::kFileAttributeDirectory) kept |= platform::kFileAttributeDirectory;
  meta_[Key(path)].attributes = kept;
  return true;
}

platform::FileRef SimFileSystem::CreateFileForWrite(const char* path, std::uint32_t attributes) {
  trace_.push_back(std::string("CreateFileA ") + path);
  if (Fails("CreateFileA")) return 0;
  if (between) between("CreateFileA", Absolute(path));
  const std::uint32_t existing = AttributesOf(path);
  // Only ever a new file: whatever already stands at the name, of any kind, is a collision.
  if (existing != platform::kInvalidFileAttributes) {
    Fail(kErrorFileExists);
    return 0;
  }
  const fs::path host = HostPath(path);
  std::error_code error;
  if (!fs::is_directory(host.parent_path(), error)) {
    Fail(platform::kErrorPathNotFound);
    return 0;
  }
  // Exclusive creation, which fails on a link in the path's place (even one pointing nowhere).
  std::FILE* stream = std::fopen(host.c_str(), "wbx");
  if (stream == nullptr) {
    Fail(platform::kErrorAccessDenied);
    return 0;
  }
  // A file written is marked for backup.
  const std::uint32_t kept = (attributes & (platform::kFileAttributeReadOnly | platform::kFileAttributeHidden |
                                            platform::kFileAttributeSystem)) |
                             platform::kFileAttributeArchive;
  meta_[Key(path)] = Meta{kept, {}};
  const platform::FileRef file = nextFile_++;
  open_[file] = OpenFile{Absolute(path), stream};
  return file;
}

bool SimFileSystem::WriteFile(platform::FileRef file, const void* data, std::uint32_t size) {
  auto found = open_.find(file);
  if (found == open_.end()) return Fail(platform::kErrorInvalidParameter);
  if (Fails("WriteFile")) return false;
  return std::fwrite(data, 1, size, found->second.stream) == size;
}

void SimFileSystem::SetFileTime(platform::FileRef file, std::uint64_t creation, std::uint64_t access,
                                std::uint64_t write) {
  auto found = open_.find(file);
  if (found == open_.end()) return;
  meta_[Key(found->second.path)].times = FileTimes{creation, access, write};
}

void SimFileSystem::CloseFile(platform::FileRef file) {
  auto found = open_.find(file);
  if (found == open_.end()) return;
  std::fclose(found->second.stream);
  open_.erase(found);
}

bool SimFileSystem::FindFiles(const char* pattern, std::vector<platform::FoundFile>* found) {
  const std::string text = pattern;
  const std::size_t cut = text.find_last_of("\\/");
  const std::string directory = cut == std::string::npos ? std::string() : text.substr(0, cut);
  const std::string wildcard = cut == std::string::npos ? text : text.substr(cut + 1);
  if (wildcard != "*.*" && wildcard != "*") return Fail(platform::kErrorInvalidParameter);
  const std::uint32_t attributes = AttributesOf(directory.empty() ? "." : directory);
  if (attributes == platform::kInvalidFileAttributes || !(attributes & platform::kFileAttributeDirectory)) {
    return Fail(platform::kErrorPathNotFound);
  }
  const std::string prefix = cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
  found->push_back(platform::FoundFile{prefix + ".", ".", true, true, false});
  found->push_back(platform::FoundFile{prefix + "..", "..", true, true, false});
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(HostPath(directory.empty() ? "." : directory), error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
  for (const std::string& name : names) {
    const std::uint32_t entry = AttributesOf(prefix + name);
    found->push_back(platform::FoundFile{prefix + name, name, (entry & platform::kFileAttributeDirectory) != 0, false,
                                         (entry & platform::kFileAttributeReparsePoint) != 0});
  }
  if (between) between("FindFiles", Absolute(directory.empty() ? "." : directory));
  return true;
}

platform::DirectoryRef SimFileSystem::OpenDirectory(const char* path) {
  trace_.push_back(std::string("OpenDirectory ") + path);
  if (Fails("OpenDirectory")) return 0;
  const std::string absolute = Absolute(path);
  if (absolute.size() >= kPathSize) {
    Fail(platform::kErrorPathNotFound);
    return 0;
  }
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) {
    Fail(platform::kErrorFileNotFound);
    return 0;
  }
  if (!(attributes & platform::kFileAttributeDirectory) || (attributes & platform::kFileAttributeReparsePoint)) {
    Fail(kErrorDirectory);
    return 0;
  }
  const platform::DirectoryRef directory = nextDirectory_++;
  directories_[directory] = absolute;
  return directory;
}

platform::DirectoryRef SimFileSystem::OpenChildDirectory(platform::DirectoryRef parent, const char* name) {
  auto found = directories_.find(parent);
  if (found == directories_.end() || !platform::IsEntryName(name)) {
    Fail(platform::kErrorInvalidParameter);
    return 0;
  }
  return OpenDirectory((found->second + "\\" + name).c_str());
}

bool SimFileSystem::ListDirectory(platform::DirectoryRef directory, std::vector<platform::FoundFile>* found) {
  auto held = directories_.find(directory);
  if (held == directories_.end()) return Fail(platform::kErrorInvalidParameter);
  return FindFiles((held->second + "\\*.*").c_str(), found);
}

bool SimFileSystem::DeleteChild(platform::DirectoryRef parent, const char* name) {
  auto found = directories_.find(parent);
  if (found == directories_.end() || !platform::IsEntryName(name)) return Fail(platform::kErrorInvalidParameter);
  const std::string path = found->second + "\\" + name;
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) return Fail(platform::kErrorFileNotFound);
  const bool link = attributes & platform::kFileAttributeReparsePoint;
  if (!(attributes & platform::kFileAttributeDirectory)) return DeleteFile(path.c_str());
  if (link) return RemoveDirectory(path.c_str());
  return Fail(platform::kErrorAccessDenied);
}

bool SimFileSystem::CloseAndRemoveDirectory(platform::DirectoryRef directory) {
  auto found = directories_.find(directory);
  if (found == directories_.end()) return Fail(platform::kErrorInvalidParameter);
  const std::string path = found->second;
  directories_.erase(found);
  return RemoveDirectory(path.c_str());
}

void SimFileSystem::CloseDirectory(platform::DirectoryRef directory) { directories_.erase(directory); }

bool SimFileSystem::Pinned(const std::string& path) const {
  const std::string key = Key(path);
  for (const auto& held : directories_) {
    const std::string inside = Lower(held.second);
    if (inside == key || inside.rfind(key + "\\", 0) == 0) return true;
  }
  return false;
}

void SimFileSystem::PutLink(const std::string& path, const std::string& target) {
  const fs::path host = HostPath(path);
  fs::create_directories(host.parent_path());
  const fs::path pointed = HostPath(target);
  if (fs::is_directory(pointed)) {
    fs::create_directory_symlink(pointed, host);
  } else {
    fs::create_symlink(pointed, host);
  }
}

bool SimFileSystem::SwapForJunction(const std::string& path, const std::string& target, const std::string& movedTo) {
  if (Pinned(path)) return false;
  const fs::path moved = HostPath(movedTo);
  fs::create_directories(moved.parent_path());
  fs::rename(HostPath(path), moved);
  PutLink(path, target);
  return true;
}

void SimFileSystem::PutDirectory(const std::string& path) {
  std::error_code error;
  fs::create_directories(HostPath(path), error);
}

void SimFileSystem::PutFile(const std::string& path, const std::string& content, std::uint32_t attributes) {
  const fs::path host = HostPath(path);
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << content;
  meta_[Key(path)] = Meta{attributes, {}};
}

std::optional<std::string> SimFileSystem::ReadFile(const std::string& path) const {
  std::ifstream stream(HostPath(path), std::ios::binary);
  if (!stream || IsDirectory(path)) return std::nullopt;
  std::ostringstream content;
  content << stream.rdbuf();
  return content.str();
}

bool SimFileSystem::Exists(const std::string& path) const {
  return AttributesOf(path) != platform::kInvalidFileAttributes;
}

bool SimFileSystem::IsDirectory(const std::string& path) const {
  const std::uint32_t attributes = AttributesOf(path);
  return attributes != platform::kInvalidFileAttributes && (attributes & platform::kFileAttributeDirectory);
}

void SimFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  meta_[Key(path)].attributes = attributes;
}

FileTimes SimFileSystem::Times(const std::string& path) const {
  auto found = meta_.find(Key(path));
  return found == meta_.end() ? FileTimes{} : found->second.times;
}

bool SimFileSystem::ReadWholeFile(const char* path, std::uint32_t limit, std::string* content) {
  trace_.push_back(std::string("ReadFile ") + path);
  if (Fails("ReadFile")) return false;
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == platform::kInvalidFileAttributes) return Fail(platform::kErrorFileNotFound);
  if (attributes & platform::kFileAttributeDirectory) return Fail(platform::kErrorAccessDenied);
  std::ifstream stream(HostPath(path), std::ios::binary);
  if (!stream) return Fail(platform::kErrorAccessDenied);
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  if (bytes.str().size() > limit) return Fail(platform::kErrorMoreData);
  *content = bytes.str();
  return true;
}

}  // namespace sim
