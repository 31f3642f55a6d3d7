// The print spooler: the driver directory's size protocol, driver registration from it, and the
// errors of AddPrinterA that the installer reports.
#include <algorithm>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "contract_machine.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/spooler.h"
#include "platform/types.h"

namespace contract {
namespace {

constexpr std::uint32_t kErrorInvalidEnvironment = 1805;
constexpr char kDriverName[] = "contract driver";
constexpr char kPrinterName[] = "contract printer";
// The driver's files, staged in the driver directory before the registration.
const char* const kDriverFiles[] = {"CONTRACT.DLL", "CONTRACT.GPD", "CONTRACTUI.DLL"};

// The spooler's environment of the machine's own drivers.
const char* MachineEnvironment(platform::Platform& services) {
  return services.system->NativeProcessorArchitecture() == platform::kArchitectureAmd64 ? "Windows x64"
                                                                                         : "Windows NT x86";
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && strcasecmp(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

std::string DriverDirectory(platform::Platform& services, const char* environment) {
  char buffer[platform::kTextBufferSize] = {};
  if (!services.spooler->GetPrinterDriverDirectory(environment, buffer, sizeof buffer)) return std::string();
  return buffer;
}

platform::DriverInfo3 DriverRecord(const char* environment) {
  platform::DriverInfo3 info;
  info.version = 3;
  info.name = kDriverName;
  info.environment = environment;
  info.driverPath = kDriverFiles[0];
  info.dataFile = kDriverFiles[1];
  info.configFile = kDriverFiles[2];
  info.defaultDataType = "RAW";
  return info;
}

platform::PrinterInfo2 PrinterRecord(const char* name, const char* driver, const char* port) {
  platform::PrinterInfo2 info;
  info.printerName = name;
  info.portName = port;
  info.driverName = driver;
  info.printProcessor = "WinPrint";
  info.datatype = "RAW";
  info.attributes = platform::kPrinterAttributeLocal;
  return info;
}

// Stages the driver's files in the machine environment's driver directory.
void StageDriverFiles(platform::Platform& services) {
  const std::string directory = DriverDirectory(services, MachineEnvironment(services));
  ASSERT_FALSE(directory.empty());
  for (const char* name : kDriverFiles) {
    const std::string path = directory + "\\" + name;
    const platform::FileRef file = services.files->CreateFileForWrite(path.c_str(), platform::kFileAttributeNormal);
    ASSERT_NE(file, 0u) << path;
    EXPECT_TRUE(services.files->WriteFile(file, name, static_cast<std::uint32_t>(std::strlen(name))));
    services.files->CloseFile(file);
  }
}

TEST_P(SpoolerContract, GetPrinterDriverDirectoryOfEachEnvironment) {
  const std::string system = services().system->SystemDirectory();
  struct Case {
    const char* environment;
    const char* folder;
  };
  const Case cases[] = {{"Windows NT x86", "\\spool\\drivers\\w32x86"}, {"Windows x64", "\\spool\\drivers\\x64"}};
  for (const Case& item : cases) {
    const std::string directory = DriverDirectory(services(), item.environment);
    EXPECT_TRUE(EndsWithNoCase(directory, item.folder)) << directory;
    EXPECT_EQ(strncasecmp(directory.c_str(), system.c_str(), system.size()), 0) << directory;
    const std::uint32_t attributes = services().files->GetFileAttributes(directory.c_str());
    EXPECT_TRUE(attributes != platform::kInvalidFileAttributes && (attributes & platform::kFileAttributeDirectory))
        << directory;
  }
}

// A buffer without room for the NUL is too small, and is left alone.
TEST_P(SpoolerContract, GetPrinterDriverDirectoryIntoASmallBuffer) {
  const char* environment = MachineEnvironment(services());
  const std::string directory = DriverDirectory(services(), environment);
  ASSERT_FALSE(directory.empty());
  char buffer[platform::kTextBufferSize];
  std::memset(buffer, kSentinelByte, sizeof buffer);
  ArmLastError();
  EXPECT_FALSE(services().spooler->GetPrinterDriverDirectory(environment, buffer,
                                                             static_cast<std::uint32_t>(directory.size())));
  EXPECT_EQ(LastError(), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(buffer[0], kSentinelByte);
  std::memset(buffer, kSentinelByte, sizeof buffer);
  EXPECT_TRUE(services().spooler->GetPrinterDriverDirectory(environment, buffer,
                                                            static_cast<std::uint32_t>(directory.size() + 1)));
  EXPECT_EQ(std::string(buffer), directory);
}

TEST_P(SpoolerContract, GetPrinterDriverDirectoryOfAnUnknownEnvironment) {
  char buffer[platform::kTextBufferSize];
  std::memset(buffer, kSentinelByte, sizeof buffer);
  ArmLastError();
  EXPECT_FALSE(services().spooler->GetPrinterDriverDirectory("Windows Contract", buffer, sizeof buffer));
  EXPECT_EQ(LastError(), kErrorInvalidEnvironment);
  EXPECT_EQ(buffer[0], kSentinelByte);
}

TEST_P(SpoolerContract, AddPrinterDriverOfAnUnknownEnvironment) {
  ArmLastError();
  EXPECT_FALSE(services().spooler->AddPrinterDriver(DriverRecord("Windows Contract")));
  EXPECT_EQ(LastError(), kErrorInvalidEnvironment);
}

TEST_P(SpoolerContract, AddPrinterDriverWithoutItsFilesGivesFileNotFound) {
  platform::DriverInfo3 info = DriverRecord(MachineEnvironment(services()));
  info.driverPath = "CONTRACT-MISSING.DLL";
  ArmLastError();
  const bool added = services().spooler->AddPrinterDriver(info);
  if (WineDiffers("AddPrinterDriverA registers a driver whose files are not there")) {
    EXPECT_TRUE(added);
    return;
  }
  EXPECT_FALSE(added);
  EXPECT_EQ(LastError(), platform::kErrorFileNotFound);
}

// Registers the driver from the staged files and makes a printer with it.
void AddContractPrinter(platform::Platform& services) {
  ASSERT_NO_FATAL_FAILURE(StageDriverFiles(services));
  ASSERT_TRUE(services.spooler->AddPrinterDriver(DriverRecord(MachineEnvironment(services))))
      << services.system->LastError();
  const platform::PrinterRef printer = services.spooler->AddPrinter(PrinterRecord(kPrinterName, kDriverName, "LPT1:"));
  ASSERT_NE(printer, 0u) << services.system->LastError();
  services.spooler->ClosePrinter(printer);
}

// The result of AddPrinterA with the record, its printer closed again when one was made.
platform::PrinterRef TryAddPrinter(platform::Platform& services, const platform::PrinterInfo2& info) {
  const platform::PrinterRef printer = services.spooler->AddPrinter(info);
  if (printer != 0) services.spooler->ClosePrinter(printer);
  return printer;
}

TEST_P(SpoolerContract, AddPrinterThenEnumPrinterNamesListsIt) {
  ASSERT_NO_FATAL_FAILURE(AddContractPrinter(services()));
  std::vector<std::string> names;
  ASSERT_TRUE(services().spooler->EnumPrinterNames(platform::kPrinterEnumLocal, nullptr, &names));
  EXPECT_EQ(std::count(names.begin(), names.end(), kPrinterName), 1);
}

TEST_P(SpoolerContract, AddPrinterOfAnExistingNameGivesPrinterAlreadyExists) {
  ASSERT_NO_FATAL_FAILURE(AddContractPrinter(services()));
  ArmLastError();
  const platform::PrinterRef printer = TryAddPrinter(services(), PrinterRecord(kPrinterName, kDriverName, "LPT1:"));
  if (WineDiffers("AddPrinterA replaces a printer of the same name instead of refusing it")) {
    EXPECT_NE(printer, 0u);
    return;
  }
  EXPECT_EQ(printer, 0u);
  EXPECT_EQ(LastError(), platform::kErrorPrinterAlreadyExists);
}

TEST_P(SpoolerContract, AddPrinterWithAnUnknownDriverGivesUnknownPrinterDriver) {
  ArmLastError();
  const platform::PrinterRef printer =
      TryAddPrinter(services(), PrinterRecord("contract printer 2", "contract no driver", "LPT1:"));
  EXPECT_EQ(printer, 0u);
  if (WineDiffers("AddPrinterA answers ERROR_INVALID_PARAMETER for a driver it does not know")) {
    EXPECT_EQ(LastError(), platform::kErrorInvalidParameter);
    return;
  }
  EXPECT_EQ(LastError(), platform::kErrorUnknownPrinterDriver);
}

TEST_P(SpoolerContract, AddPrinterOnAnUnknownPort) {
  ASSERT_NO_FATAL_FAILURE(StageDriverFiles(services()));
  ASSERT_TRUE(services().spooler->AddPrinterDriver(DriverRecord(MachineEnvironment(services()))));
  ArmLastError();
  const platform::PrinterRef printer =
      TryAddPrinter(services(), PrinterRecord("contract printer 3", kDriverName, "CONTRACT-PORT:"));
  if (WineDiffers("AddPrinterA makes a printer on a port that does not exist")) {
    EXPECT_NE(printer, 0u);
    return;
  }
  EXPECT_EQ(printer, 0u);
  EXPECT_EQ(LastError(), platform::kErrorUnknownPort);
}

TEST_P(SpoolerContract, AddPrinterWithAnInvalidName) {
  ASSERT_NO_FATAL_FAILURE(StageDriverFiles(services()));
  ASSERT_TRUE(services().spooler->AddPrinterDriver(DriverRecord(MachineEnvironment(services()))));
  ArmLastError();
  const platform::PrinterRef printer =
      TryAddPrinter(services(), PrinterRecord("contract,printer", kDriverName, "LPT1:"));
  if (WineDiffers("AddPrinterA takes a printer name with a comma")) {
    EXPECT_NE(printer, 0u);
    return;
  }
  EXPECT_EQ(printer, 0u);
  EXPECT_EQ(LastError(), platform::kErrorInvalidPrinterName);
}

}  // namespace
}  // namespace contract
