#include "payload/working_directory.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// True when the path names a directory that is not a link or junction.
bool IsPlainDirectory(platform::IFileSystem& files, const char* path) {
  const std::uint32_t attributes = files.GetFileAttributes(path);
  if (attributes == platform::kInvalidFileAttributes) return false;
  if ((attributes & platform::kFileAttributeDirectory) == 0) return false;
  return (attributes & platform::kFileAttributeReparsePoint) == 0;
}

}  // namespace

WorkingDirectory EnterWorkingDirectory(platform::IFileSystem& files) {
  WorkingDirectory directory;
  char temporary[sizeof directory.path] = {};
  const std::uint32_t length = files.GetTempPath(sizeof temporary, temporary);
  if (length == 0 || length >= sizeof temporary) return directory;
  const int formed = std::snprintf(directory.path, sizeof directory.path, "%sQuarl2020\\", temporary);
  if (formed < 0 || static_cast<std::size_t>(formed) >= sizeof directory.path) {
    directory.path[0] = '\0';
    return directory;
  }
  files.CreateDirectory(directory.path);
  if (!IsPlainDirectory(files, directory.path)) return directory;
  directory.entered = files.SetCurrentDirectory(directory.path);
  return directory;
}

void CleanWorkingDirectory(platform::IFileSystem& files, CDriverInstaller& installer,
                           const WorkingDirectory& directory) {
  if (!directory.entered) return;
  if (!IsPlainDirectory(files, directory.path)) return;
  // Without its trailing backslash, as the current directory would be given.
  std::string path = directory.path;
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  installer.DeleteDirectoryTree(path);
}
