// The working directory that the driver package is unpacked into: "Quarl2020\" under the
// user's temporary folder, made the process's current directory while the dialog is open and
// emptied when it closes.
#pragma once

#include "installer/driver_installer.h"
#include "platform/files.h"

// What a run holds of its working directory from entering it to cleaning it up. The package is
// unpacked into it only when `entered`; anything a run must keep about its claim on the
// directory while the dialog is open belongs here as well.
struct WorkingDirectory {
  char path[260] = {};               // "%sQuarl2020\" from the temporary path; empty when it did not fit
  bool entered = false;              // the directory exists, is no link, and was made current
  platform::DirectoryRef held = 0;   // the directory, held open from entering it to its release
};

// Forms the path, creates the directory (an existing one is reused), holds it open and makes it
// current. A directory that turns out to be a link or junction is not entered: the installer runs
// with administrator rights and must not unpack into, or later empty, whatever a link points at.
// Held, the directory cannot be renamed or swapped for a link until it is released.
WorkingDirectory EnterWorkingDirectory(platform::IFileSystem& files);

// Empties the working directory through the handle held since it was entered, only when it was
// entered; the directory itself stays. Never goes by a path read again later (such as the
// current directory), so it touches nothing else.
void CleanWorkingDirectory(CDriverInstaller& installer, const WorkingDirectory& directory);

// Lets go of the working directory; the clean-up cannot run after this.
void ReleaseWorkingDirectory(platform::IFileSystem& files, WorkingDirectory* directory);
