// CDriverInstaller::DeleteDirectoryTree: emptying a held directory depth first.
#include <vector>

#include "installer/driver_installer.h"

// What the listing says is only a hint: it may have changed since. A subfolder is emptied only
// through a handle of it, opened without following a link in its place, checked to be a plain
// directory and held while it is emptied. Anything else by that name is deleted as what it is
// now; a link goes as a link.
void CDriverInstaller::DeleteDirectoryTree(platform::DirectoryRef directory) {
  platform::IFileSystem& files = *platform_.files;
  std::vector<platform::FoundFile> found;
  if (!files.ListDirectory(directory, &found)) return;
  for (const platform::FoundFile& entry : found) {
    // A name with a separator could lead out of the directory; the dots are no entries to act on.
    if (entry.dots || !platform::IsEntryName(entry.name.c_str())) continue;
    const char* name = entry.name.c_str();
    const platform::DirectoryRef child = entry.directory && !entry.link ? files.OpenChildDirectory(directory, name) : 0;
    if (child == 0) {
      // Not examined: what cannot be deleted (a read-only file, a plain directory that cannot be
      // held) stays, and so does the directory above it.
      (void)files.DeleteChild(directory, name);
      continue;
    }
    DeleteDirectoryTree(child);
    // Not examined: a folder that is not empty by now stays.
    (void)files.CloseAndRemoveDirectory(child);
  }
}
