// The installation engine with the Win32 back-end, against Wine's real spooler.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "installer/driver_installer.h"
#include "platform/win32/win32_services.h"
#include "test_driver_package.h"
#include "wine_support.h"

namespace {

// The installation registers the driver of the machine's architecture; the other one is the
// variant it must not pick here.
const char* const kNativeEnvironment = wine_test::NativeEnvironment();
const bool kNativeIs64Bit = std::string(kNativeEnvironment) == "Windows x64";
const char* const kOtherEnvironment = kNativeIs64Bit ? "Windows NT x86" : "Windows x64";
const DriverVariant kOtherVariant = kNativeIs64Bit ? DriverVariant::X86 : DriverVariant::X64;

const char* const kStaged[] = {"RCQ80.DLL",  "RCQ80C.GPD", "UNIDRV.DLL", "UNIDRVUI.DLL",
                               "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};

class WineInstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wine_test::DeletePrinters("printer RT5140");
    wine_test::DeleteDriver("printer RT5140", "Windows NT x86");
    wine_test::DeleteDriver("printer RT5140", "Windows x64");
    work = wine_test::ScratchFolder("installer-test");
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      const std::string path = work + "\\" + folder;
      ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
      for (const char* name : kStaged) {
        ASSERT_TRUE(wine_test::WriteTextFile(path + "\\" + name, std::string(folder) + name));
        package.carried[std::string(folder) + "\\" + name] = std::string(folder) + name;
      }
    }
    package.directory = work + "\\";
    machine = win32::MachinePlatform();
    machine.messages = &messages;
  }

  void TearDown() override {
    wine_test::DeletePrinters("printer RT5140");
    wine_test::RemoveTree(work);
  }

  std::string work;
  package_files::TestDriverPackage package;
  platform::Platform machine;
  wine_test::RecordingMessageBox messages;
};

// GetNativeSystemInfo gives 0 in a 32-bit prefix and 9 in a 64-bit one; InstallPrinter picks the
// variant of that architecture. (Wine's spooler then creates the printer only when the process is
// of the same architecture, as in both prefixes the tests run in.) The package is read by its full
// path, not from the current directory.
TEST_F(WineInstallerTest, InstallsTheDriverAndCreatesUniquelyNamedPrinters) {
  CDriverInstaller installer(machine);
  installer.UsePackage(&package);
  installer.UiLanguage = 1033;
  ASSERT_TRUE(installer.InstallPrinter(1, "LPT1:")) << (messages.shown.empty() ? "" : messages.shown[0]);

  EXPECT_TRUE(wine_test::DriverRegistered("printer RT5140", kNativeEnvironment));
  EXPECT_STREQ(installer.ResultPrinterName, "printer RT5140");
  EXPECT_EQ(wine_test::PrinterPort("printer RT5140"), "LPT1:");
  EXPECT_EQ(wine_test::DefaultPrinter(), "printer RT5140");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].find("Printer name : printer RT5140\r\nPrinter port : LPT1:"), std::string::npos);

  const std::string directory = wine_test::DriverDirectory(kNativeEnvironment);
  ASSERT_FALSE(directory.empty());
  for (const char* name : kStaged) EXPECT_FALSE(wine_test::FileExists(directory + "\\" + name)) << name;
  // The spooler took the files into its version folder before the staged copies went.
  EXPECT_TRUE(wine_test::FileExists(directory + "\\3\\RCQ80C.GPD"));

  ASSERT_TRUE(installer.InstallPrinter(0, "LPT1:"));
  EXPECT_STREQ(installer.ResultPrinterName, "printer RT5140 (copy 1)");
  EXPECT_EQ(wine_test::PrinterPort("printer RT5140 (copy 1)"), "LPT1:");
  EXPECT_EQ(wine_test::DefaultPrinter(), "printer RT5140");
}

// A staged copy that is not what the package carries is removed again before the spooler sees it.
TEST_F(WineInstallerTest, ACopyThatDiffersFromTheCarriedBytesIsRemovedAndNothingRegistered) {
  ASSERT_TRUE(wine_test::WriteTextFile(work + "\\" + kNativeEnvironment + "\\RCQ80.DLL", "planted"));
  CDriverInstaller installer(machine);
  installer.UsePackage(&package);
  installer.UiLanguage = 1033;
  EXPECT_FALSE(installer.InstallPrinter(0, "LPT1:"));
  EXPECT_EQ(messages.shown, std::vector<std::string>{"Malfunction !\nPls try using <Run as administrator>open this App"});
  EXPECT_FALSE(wine_test::DriverRegistered("printer RT5140", kNativeEnvironment));
  const std::string directory = wine_test::DriverDirectory(kNativeEnvironment);
  for (const char* name : kStaged) EXPECT_FALSE(wine_test::FileExists(directory + "\\" + name)) << name;
}

TEST_F(WineInstallerTest, AMissingPackageFileIsACopyFailure) {
  DeleteFileA((work + "\\" + kNativeEnvironment + "\\UNIDRV.HLP").c_str());
  CDriverInstaller installer(machine);
  installer.UsePackage(&package);
  installer.UiLanguage = 1033;
  EXPECT_FALSE(installer.InstallPrinter(0, "LPT1:"));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], "Malfunction !\nPls try using <Run as administrator>open this App");
}

// Wine's spooler registers the driver of the other environment too, but the printer of it is
// refused: the spooler looks the driver up for its own environment, which here is the machine's.
TEST_F(WineInstallerTest, TheOtherVariantRegistersButWinesSpoolerRefusesItsPrinter) {
  CDriverInstaller installer(machine);
  installer.UsePackage(&package);
  installer.UiLanguage = 1033;
  installer.PrinterName = installer.ModelName;
  const bool installed = installer.InstallDriverAndPrinter(kOtherVariant, 3, "LPT1:");
  EXPECT_TRUE(wine_test::DriverRegistered("printer RT5140", kOtherEnvironment));
  EXPECT_FALSE(installed);
  EXPECT_EQ(wine_test::PrinterPort("printer RT5140"), "");
  ASSERT_EQ(messages.shown.size(), 1u);  // the system's text for the refusal
  const std::string directory = wine_test::DriverDirectory(kOtherEnvironment);
  for (const char* name : kStaged) EXPECT_FALSE(wine_test::FileExists(directory + "\\" + name)) << name;
}

}  // namespace
