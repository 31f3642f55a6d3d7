#include "payload/working_directory.h"

#include <cstdio>

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
  // Not examined: the directory usually exists from an earlier run, and what stands there is
  // checked when it is opened.
  (void)files.CreateDirectory(directory.path);
  directory.held = files.OpenDirectory(directory.path);
  if (directory.held == 0) return directory;
  directory.entered = files.SetCurrentDirectory(directory.path);
  if (!directory.entered) ReleaseWorkingDirectory(files, &directory);
  return directory;
}

void CleanWorkingDirectory(CDriverInstaller& installer, const WorkingDirectory& directory) {
  if (!directory.entered || directory.held == 0) return;
  installer.DeleteDirectoryTree(directory.held);
}

void ReleaseWorkingDirectory(platform::IFileSystem& files, WorkingDirectory* directory) {
  if (directory->held != 0) files.CloseDirectory(directory->held);
  directory->held = 0;
}
