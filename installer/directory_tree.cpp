// CDriverInstaller::DeleteDirectoryTree: emptying a directory depth first.
#include <cstdio>
#include <vector>

#include "installer/driver_installer.h"

void CDriverInstaller::DeleteDirectoryTree(std::string directory) {
  char pattern[260] = {};
  const int formed = std::snprintf(pattern, sizeof pattern, "%s/*.*", directory.c_str());
  if (formed < 0 || static_cast<std::size_t>(formed) >= sizeof pattern) return;
  std::vector<platform::FoundFile> found;
  if (!platform_.files->FindFiles(pattern, &found)) return;
  for (const platform::FoundFile& entry : found) {
    if (entry.dots) continue;
    if (entry.directory && !entry.link) {
      DeleteDirectoryTree(entry.path);
      platform_.files->RemoveDirectory(entry.path.c_str());
    } else if (entry.directory) {
      // A link or junction to a directory: the link goes, what it points at is never entered.
      platform_.files->RemoveDirectory(entry.path.c_str());
    } else {
      platform_.files->DeleteFile(entry.path.c_str());
    }
  }
}
