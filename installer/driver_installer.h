// CDriverInstaller: stages and registers the printer driver, creates the printer under a name no
// printer bears, makes it the default printer if asked, and reports the outcome.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "installer/driver_package.h"
#include "installer/install_texts.h"
#include "platform/platform.h"

// The dependent-file list of the driver record: the names separated and ended by NULs, then an
// empty name, as bytes up to and with the formatted text's own terminating NUL.
std::string DependentFileList(const std::string& minidriver);

class CDriverInstaller {
 public:
  // Starts the spooler ("net start spooler", hidden, not waited for) and reads the UI language.
  explicit CDriverInstaller(platform::Platform& platform);
  ~CDriverInstaller() = default;
  CDriverInstaller(const CDriverInstaller&) = delete;
  CDriverInstaller& operator=(const CDriverInstaller&) = delete;

  // The package every installation installs from; none (the default) lets nothing be installed.
  void UsePackage(IDriverPackage* package) { package_ = package; }

  // True when there is an unpacked package to install from; otherwise shows the copy-failure
  // text for the running system and returns false.
  [[nodiscard]] bool PackageReady();

  // Installs the driver for one architecture and creates the printer on the port. False when
  // staging, registration or printer creation failed; the failure has been shown.
  bool InstallDriverAndPrinter(DriverVariant variant, std::int32_t versionLevel, const char* portName);

  // The native processor architecture's name; false (and nothing written) when the version query fails.
  bool IdentifySystem(const char** architecture);

  // One whole installation for the running system on the port; shows the outcome.
  bool InstallPrinter(std::int32_t setDefault, const char* portName);

  // The first of ModelName, "ModelName (copy n)" ... that no name of the list equals.
  std::string MakeUniquePrinterName(const std::vector<std::string>& existing);

  // Deletes everything inside the held directory, depth first, and leaves the directory itself.
  // Links and junctions inside are removed as links, never entered; what cannot be deleted stays.
  void DeleteDirectoryTree(platform::DirectoryRef directory);

  const std::string MinidriverFile;
  const std::string GpdFile;
  const std::string ModelName;
  std::string PrinterName;
  std::int32_t UiLanguage = 0;
  char ResultPrinterName[256] = {};

 private:
  bool StageDriverFiles(DriverVariant variant, const std::string& package, const char* directory);
  bool StagedFilesAreCarried(DriverVariant variant, const char* directory);
  bool RegisterDriver(DriverVariant variant);
  bool CreatePrinter(DriverVariant variant, const char* directory, const char* portName);
  void DeleteStagedFiles(const char* directory);
  [[nodiscard]] bool ShowLastErrorText();
  DriverVariant MachineVariant();

  platform::Platform& platform_;
  IDriverPackage* package_ = nullptr;
};
