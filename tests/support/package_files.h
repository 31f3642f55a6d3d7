// The files the driver package unpacks, for the host and the Windows tests alike.
#pragma once

#include <string>
#include <vector>

namespace package_files {

// The fourteen files of each folder, relative to the working directory; the INF and catalogue
// names of the x64 folder end in "x64".
inline std::vector<std::string> All() {
  std::vector<std::string> files;
  for (const std::string folder : {"Windows NT x86", "Windows x64"}) {
    const std::string suffix = folder == "Windows x64" ? "x64" : "";
    for (const std::string name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD",
                                   "STDNAMES.GPD", "RCQ80.DLL", "RCQ80C.GPD", "ZN80.DLL", "ZN80C.GPD"}) {
      files.push_back(folder + "\\" + name);
    }
    for (const std::string base : {"ZNDRV", "RCQDRV"}) {
      files.push_back(folder + "\\" + base + suffix + ".INF");
      files.push_back(folder + "\\" + base + suffix + ".cat");
    }
  }
  return files;
}

}  // namespace package_files
