// The driver package as the installer reaches it: the folder it was unpacked into, which any
// program of the user can write, and the bytes the program itself carries for each of its files.
#pragma once

#include <string>

class IDriverPackage {
 public:
  virtual ~IDriverPackage() = default;
  // The full path of the folder the whole package was unpacked into, ending with a backslash;
  // empty when no package was unpacked, and then nothing may be installed.
  virtual std::string UnpackedDirectory() const = 0;
  // The carried bytes of the package file `name`, relative to the package's top folder (such as
  // "Windows NT x86\UNIDRV.DLL"); false when the package holds no such file or it cannot be read.
  [[nodiscard]] virtual bool CarriedBytes(const char* name, std::string* bytes) = 0;
};
