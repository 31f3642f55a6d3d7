// A driver package for tests of the installation engine: unpacked into a folder the test names,
// carrying the bytes the test gives for each file.
#pragma once

#include <map>
#include <string>

#include "installer/driver_package.h"

namespace package_files {

class TestDriverPackage : public IDriverPackage {
 public:
  std::string UnpackedDirectory() const override { return directory; }
  bool CarriedBytes(const char* name, std::string* bytes) override {
    const auto found = carried.find(name);
    if (found == carried.end()) return false;
    *bytes = found->second;
    return true;
  }

  std::string directory;                       // ends with a backslash; empty: nothing unpacked
  std::map<std::string, std::string> carried;  // by name below the package's top folder
};

}  // namespace package_files
