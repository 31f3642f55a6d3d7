// The driver package that start-up unpacked, as the installer installs it: from the folder it
// was unpacked into, checked against the bytes of the program's own resource.
#pragma once

#include <cstdint>
#include <string>

#include "installer/driver_package.h"
#include "platform/platform.h"

class CarriedDriverPackage : public IDriverPackage {
 public:
  explicit CarriedDriverPackage(platform::Platform& machine) : machine_(machine) {}

  // Records that the package resource `resource` was unpacked whole into `directory` (a full
  // path ending with a backslash). Until then there is no package to install from.
  void SetUnpacked(const char* directory, std::uint16_t resource);

  // The folder recorded by SetUnpacked, or empty.
  std::string UnpackedDirectory() const override { return directory_; }
  // The entry's bytes unpacked in memory from the resource that was unpacked, never from disk.
  bool CarriedBytes(const char* name, std::string* bytes) override;

 private:
  platform::Platform& machine_;
  std::string directory_;
  std::uint16_t resource_ = 0;
};
