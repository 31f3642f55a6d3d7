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
  char path[260] = {};   // "%sQuarl2020\" from the temporary path; empty when it did not fit
  bool entered = false;  // the directory exists, is no link, and was made current
};

// Forms the path, creates the directory (an existing one is reused) and makes it current.
// A directory that turns out to be a link or junction is not entered: the installer runs with
// administrator rights and must not unpack into, or later empty, whatever such a link points at.
WorkingDirectory EnterWorkingDirectory(platform::IFileSystem& files);

// Empties the working directory, only when it was entered and is still a directory of its own;
// the directory itself stays. Touches nothing else, whatever the current directory is by now.
void CleanWorkingDirectory(platform::IFileSystem& files, CDriverInstaller& installer,
                           const WorkingDirectory& directory);
