// The installation engine against a simulated machine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "installer/driver_installer.h"
#include "platform/sim/sim_machine.h"
#include "test_driver_package.h"

namespace {

const char kWork[] = "C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020";
const char* const kStaged[] = {"RCQ80.DLL",  "RCQ80C.GPD", "UNIDRV.DLL", "UNIDRVUI.DLL",
                               "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};
const char kX86Dir[] = "C:\\Windows\\system32\\spool\\drivers\\W32X86";
const char kX64Dir[] = "C:\\Windows\\system32\\spool\\drivers\\x64";
const char kSuccessEnglish[] =
    "The printer driver has been successfully installed on your computer!\r\n"
    "Printer name : %s\r\nPrinter port : %s\r\n";

// The package unpacked into kWork, which is not the current directory: every path to it is full.
class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.files.PutDirectory(kWork);
    package.directory = std::string(kWork) + "\\";
    PutPackage("Windows NT x86");
    PutPackage("Windows x64");
  }

  void PutPackage(const std::string& folder) {
    for (const char* name : kStaged) {
      const std::string file = folder + "\\" + name;
      machine.files.PutFile(std::string(kWork) + "\\" + file, folder + ":" + name);
      package.carried[file] = folder + ":" + name;
    }
  }

  CDriverInstaller& Installer() {
    if (!installer) {
      installer.reset(new CDriverInstaller(machine.platform()));
      installer->UsePackage(&package);
    }
    return *installer;
  }

  // The files of a directory that hold the text.
  std::vector<std::string> FilesHolding(const std::string& directory, const std::string& text) {
    std::vector<std::string> holding;
    std::vector<platform::FoundFile> found;
    machine.files.FindFiles((directory + "\\*.*").c_str(), &found);
    for (const platform::FoundFile& file : found) {
      if (!file.directory && machine.files.ReadFile(file.path).value_or("").find(text) != std::string::npos) {
        holding.push_back(file.name);
      }
    }
    return holding;
  }

  std::string Success(const std::string& name, const std::string& port) {
    char text[512];
    std::snprintf(text, sizeof text, kSuccessEnglish, name.c_str(), port.c_str());
    return text;
  }

  sim::SimMachine machine;
  package_files::TestDriverPackage package;
  std::unique_ptr<CDriverInstaller> installer;
};

TEST_F(InstallerTest, ConstructionStartsTheSystemsSpoolerHiddenWithoutWaiting) {
  machine.system.uiLanguage = 2052;
  CDriverInstaller& engine = Installer();
  ASSERT_EQ(machine.shell.launches.size(), 1u);
  const sim::Launch& launch = machine.shell.launches[0];
  EXPECT_FALSE(launch.waitable);
  EXPECT_EQ(launch.window, 0u);
  EXPECT_EQ(launch.verb, "open");
  EXPECT_EQ(launch.file, "C:\\Windows\\system32\\net.exe");
  EXPECT_EQ(launch.parameters, "start spooler");
  EXPECT_TRUE(launch.directoryNull);
  EXPECT_EQ(launch.show, 0);
  EXPECT_EQ(engine.UiLanguage, 2052);
  EXPECT_EQ(engine.ModelName, "printer RT5140");
  EXPECT_EQ(engine.MinidriverFile, "RCQ80.DLL");
  EXPECT_EQ(engine.GpdFile, "RCQ80C.GPD");
  EXPECT_EQ(engine.PrinterName, "");
  EXPECT_STREQ(engine.ResultPrinterName, "");
}

// Without a system directory there is no path to the system's net.exe: nothing is started.
TEST_F(InstallerTest, WithoutASystemDirectoryConstructionStartsNothing) {
  machine.system.systemDirectory.clear();
  (void)Installer();  // constructed for its start-up only
  EXPECT_TRUE(machine.shell.launches.empty());
}

TEST(InstallTexts, TestPageTextsHaveTheirCodePage936Lengths) {
  EXPECT_EQ(std::strlen(TestPageTextFor(2052)), 177u);
  EXPECT_EQ(std::strlen(TestPageTextFor(1033)), 185u);
  // Only 2052 selects Chinese: other Chinese variants and 0 read English.
  for (std::int32_t language : {0, 1028, 3076, 1031}) {
    InstallMessageSet set;
    set.Fill(language);
    EXPECT_STREQ(set.TestPageText, TestPageTextFor(1033)) << language;
  }
  // The Chinese text is stored in code page 936: "恭喜" is C9 A7 CF B2.
  EXPECT_NE(std::strstr(TestPageTextFor(2052), "\xB9\xA7\xCF\xB2"), nullptr);
}

TEST(DriverRecord, DependentFileListIsFourNamesThenEmptyNames) {
  EXPECT_EQ(DependentFileList("RCQ80.DLL"), std::string("TTFSUB.GPD\0STDNAMES.GPD\0UNIRES.DLL\0RCQ80.DLL\0\0\0\0\0", 49));
}

TEST(InstallTexts, CopyFailureTextByLanguageVersionAndVariant) {
  struct Case {
    DriverVariant variant;
    std::int32_t language;
    std::int32_t versionLevel;
    const char* text;
  } cases[] = {
      {DriverVariant::X86, 2052, 0, "安装过程发生错误！"},
      {DriverVariant::X86, 2052, 3, "安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。"},
      {DriverVariant::X64, 2052, 0, "安装过程发生错误 !\r\n或者关闭您的杀毒软件后重试 !"},
      {DriverVariant::X64, 2052, 3, "安装过程发生错误 !\r\n请尝试<以管理员身份运行>安装文件 .\r\n或者关闭您的杀毒软件后重试 !"},
      {DriverVariant::X86, 1033, 0, "Malfunction !"},
      {DriverVariant::X64, 1033, 3, "Malfunction !\nPls try using <Run as administrator>open this App"},
      {DriverVariant::X86, 1031, 3, "Malfunction !\nPls try using <Run as administrator>open this App"},
  };
  for (const Case& c : cases) EXPECT_STREQ(CopyFailureText(c.variant, c.language, c.versionLevel), c.text);
  EXPECT_STREQ(RegistrationFailureText(DriverVariant::X86, 2052), "安装打印机驱动过程发生错误！");
  EXPECT_STREQ(RegistrationFailureText(DriverVariant::X64, 2052), "安装打印机驱动过程发生错误 !\r\n请关闭您的杀毒软件后重试 !");
  EXPECT_STREQ(RegistrationFailureText(DriverVariant::X64, 1033), "Install printer driver failed !");
}

TEST_F(InstallerTest, InstallsTheX86DriverAndPrinterOnA32BitMachine) {
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB001"));

  const sim::SimDriver* driver = machine.spooler.Driver("printer RT5140", "Windows NT x86");
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->version, 3u);
  EXPECT_EQ(driver->driverPath, "uniDRV.DLL");
  EXPECT_EQ(driver->dataFile, "RCQ80C.GPD");
  EXPECT_EQ(driver->configFile, "uniDRVUI.DLL");
  EXPECT_EQ(driver->helpFile, "uniDRV.HLP");
  EXPECT_TRUE(driver->monitorNameNull);
  EXPECT_EQ(driver->defaultDataType, "RAW");
  // Four names, the minidriver last, then the empty name that ends the list.
  EXPECT_EQ(driver->dependentFiles, std::string("TTFSUB.GPD\0STDNAMES.GPD\0UNIRES.DLL\0RCQ80.DLL\0\0", 46));

  const sim::SimPrinter* printer = machine.spooler.Printer("printer RT5140");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->port, "USB001");
  EXPECT_EQ(printer->driver, "printer RT5140");
  EXPECT_EQ(printer->printProcessor, "WinPrint");
  EXPECT_EQ(printer->datatype, "RAW");
  EXPECT_EQ(printer->attributes, 0x40u);
  EXPECT_TRUE(printer->serverNull);
  EXPECT_EQ(machine.spooler.openPrinters, 0);
  EXPECT_STREQ(Installer().ResultPrinterName, "printer RT5140");

  for (const char* name : kStaged) {
    EXPECT_FALSE(machine.files.Exists(std::string(kX86Dir) + "\\" + name)) << name;
    EXPECT_EQ(machine.files.ReadFile(std::string(kX86Dir) + "\\3\\" + name).value_or("?").substr(0, 15), "Windows NT x86:");
  }
  EXPECT_EQ(machine.system.sleeps, (std::vector<std::uint32_t>{111, 111, 111}));
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{Success("printer RT5140", "USB001")}));
  EXPECT_EQ(machine.spooler.defaultPrinter, "");
}

TEST_F(InstallerTest, StagesEveryFileFromTheArchitecturesFolderInCopyOrder) {
  machine.system.architecture = 9;
  ASSERT_TRUE(Installer().InstallPrinter(0, "LPT1:"));
  ASSERT_NE(machine.spooler.Driver("printer RT5140", "Windows x64"), nullptr);
  EXPECT_EQ(machine.spooler.Driver("printer RT5140", "Windows NT x86"), nullptr);
  std::vector<std::string> expected;
  for (const char* name : kStaged) {
    expected.push_back(std::string("CopyFileA ") + kWork + "\\Windows x64\\" + name + " " + kX64Dir + "\\" + name);
  }
  EXPECT_EQ(machine.TraceOf("CopyFileA"), expected);
  // The model's stale copies go first; after the printer exists, all eight go.
  const auto deletes = machine.TraceOf("DeleteFileA");
  ASSERT_EQ(deletes.size(), 10u);
  EXPECT_EQ(deletes[0], std::string("DeleteFileA ") + kX64Dir + "\\RCQ80.DLL");
  EXPECT_EQ(deletes[1], std::string("DeleteFileA ") + kX64Dir + "\\RCQ80C.GPD");
  EXPECT_EQ(deletes[9], std::string("DeleteFileA ") + kX64Dir + "\\STDNAMES.GPD");
  EXPECT_EQ(machine.files.ReadFile(std::string(kX64Dir) + "\\3\\UNIDRV.DLL"), "Windows x64:UNIDRV.DLL");
}

TEST_F(InstallerTest, IdentifiesTheNativeArchitectureAndPicksX64OnlyForIt) {
  struct Case {
    std::uint16_t code;
    const char* name;
    const char* environment;
  } cases[] = {{0, "x86", "Windows NT x86"},
               {6, "Intel Itanium-based", "Windows NT x86"},
               {9, "x64", "Windows x64"},
               {0xFFFF, "Unknown architecture", "Windows NT x86"},
               {5, "Unknown", "Windows NT x86"},
               {12, "Unknown", "Windows NT x86"}};
  for (const Case& c : cases) {
    machine.system.architecture = c.code;
    const char* name = "";
    ASSERT_TRUE(Installer().IdentifySystem(&name));
    EXPECT_STREQ(name, c.name);
    machine.trace.clear();
    Installer().InstallPrinter(0, "USB001");
    ASSERT_FALSE(machine.TraceOf("GetPrinterDriverDirectoryA").empty());
    EXPECT_EQ(machine.TraceOf("GetPrinterDriverDirectoryA")[0], std::string("GetPrinterDriverDirectoryA ") + c.environment);
  }
}

TEST_F(InstallerTest, AFailedVersionQueryEndsEverythingSilently) {
  machine.faults.Fail("GetVersionExA", 5);
  const char* name = "unchanged";
  EXPECT_FALSE(Installer().IdentifySystem(&name));
  EXPECT_STREQ(name, "unchanged");
  EXPECT_FALSE(Installer().InstallPrinter(1, "USB001"));
  EXPECT_TRUE(machine.messages.shown.empty());
  EXPECT_TRUE(machine.TraceOf("GetPrinterDriverDirectoryA").empty());
}

TEST_F(InstallerTest, AMissingFileStillCopiesTheOthersAndShowsTheCopyFailure) {
  machine.files.DeleteFile((std::string(kWork) + "\\Windows NT x86\\UNIDRV.HLP").c_str());
  machine.system.version.major = 5;
  EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_EQ(machine.TraceOf("CopyFileA").size(), 8u);
  for (const char* name : kStaged) {
    EXPECT_EQ(machine.files.Exists(std::string(kX86Dir) + "\\" + name), std::strcmp(name, "UNIDRV.HLP") != 0) << name;
  }
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"Malfunction !"}));
  EXPECT_TRUE(machine.spooler.drivers.empty());
  EXPECT_TRUE(machine.TraceOf("AddPrinterDriverA").empty());
}

// A file of the package folder that another program changed after the unpacking: its copy in
// the driver directory differs from what the program carries, and nothing is registered.
TEST_F(InstallerTest, ACopyThatIsNotTheCarriedFileFailsAsACopyFailureAndIsRemoved) {
  const std::string unidrv = std::string(kWork) + "\\Windows NT x86\\UNIDRV.DLL";
  struct Case {
    const char* name;
    std::function<void()> arrange;
  } cases[] = {
      {"same size, other bytes", [&] { machine.files.PutFile(unidrv, "Windows NT x86:UNIDRV.EXE"); }},
      {"longer", [&] { machine.files.PutFile(unidrv, "Windows NT x86:UNIDRV.DLL and more"); }},
      {"shorter", [&] { machine.files.PutFile(unidrv, "Windows NT x86:"); }},
      {"empty", [&] { machine.files.PutFile(unidrv, ""); }},
      {"read-only, so that its copy is too",
       [&] { machine.files.PutFile(unidrv, "planted", platform::kFileAttributeReadOnly | platform::kFileAttributeArchive); }},
      {"a copy that cannot be read back", [&] { machine.faults.FailAfter("ReadFile", 3, platform::kErrorAccessDenied); }},
      {"a file the program does not carry", [&] { package.carried.erase("Windows NT x86\\TTFSUB.GPD"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine.messages.shown.clear();
    machine.trace.clear();
    PutPackage("Windows NT x86");
    c.arrange();
    EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
    EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"Malfunction !\nPls try using <Run as administrator>open this App"}));
    EXPECT_EQ(machine.TraceOf("CopyFileA").size(), 8u);
    EXPECT_TRUE(machine.TraceOf("AddPrinterDriverA").empty());
    EXPECT_TRUE(machine.spooler.drivers.empty());
    EXPECT_TRUE(machine.spooler.printers.empty());
    for (const char* name : kStaged) EXPECT_FALSE(machine.files.Exists(std::string(kX86Dir) + "\\" + name)) << name;
  }
}

// Without an unpacked package nothing is read, not even package files beside the current directory.
TEST_F(InstallerTest, WithoutAnUnpackedPackageNothingIsCopied) {
  for (const char* name : kStaged) machine.files.PutFile(std::string("C:\\Windows NT x86\\") + name, "beside");
  machine.system.uiLanguage = 2052;
  package.directory.clear();
  EXPECT_FALSE(Installer().PackageReady());
  EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
  Installer().UsePackage(nullptr);
  EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
  const std::string text = "安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。";
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{text, text, text}));
  EXPECT_TRUE(machine.TraceOf("CopyFileA").empty());
  EXPECT_TRUE(machine.TraceOf("GetPrinterDriverDirectoryA").empty());
  EXPECT_TRUE(machine.spooler.printers.empty());
}

TEST_F(InstallerTest, AnExistingDestinationIsOverwritten) {
  machine.files.PutFile(std::string(kX86Dir) + "\\UNIDRV.DLL", "old");
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_EQ(machine.files.ReadFile(std::string(kX86Dir) + "\\3\\UNIDRV.DLL"), "Windows NT x86:UNIDRV.DLL");
}

TEST_F(InstallerTest, NoDriverDirectoryCountsAsACopyFailureAndCopiesNothing) {
  machine.faults.Fail("GetPrinterDriverDirectoryA", 1722);
  machine.system.uiLanguage = 2052;
  EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_TRUE(machine.TraceOf("CopyFileA").empty());
  EXPECT_TRUE(machine.TraceOf("DeleteFileA").empty());
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。"}));
}

TEST_F(InstallerTest, ARegistrationFailureShowsTheSystemTextThenItsOwn) {
  machine.faults.Fail("AddPrinterDriverA", 1797);
  machine.system.architecture = 9;
  machine.system.uiLanguage = 2052;
  EXPECT_FALSE(Installer().InstallPrinter(1, "USB001"));
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"The printer driver is unknown.\r\n",
                                                              "安装打印机驱动过程发生错误 !\r\n请关闭您的杀毒软件后重试 !"}));
  EXPECT_EQ(machine.system.sleeps, (std::vector<std::uint32_t>{111}));
  for (const char* name : kStaged) EXPECT_TRUE(machine.files.Exists(std::string(kX64Dir) + "\\" + name)) << name;
  EXPECT_TRUE(machine.TraceOf("EnumPrintersA").empty());
  EXPECT_EQ(machine.spooler.defaultPrinter, "");
}

TEST_F(InstallerTest, ARegistrationFailureWithoutSystemTextShowsOnlyItsOwn) {
  machine.faults.Fail("AddPrinterDriverA", 4242);
  EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"Install printer driver failed !"}));
}

TEST_F(InstallerTest, UniqueNamesTryNumbersFromOneInTheCurrentLanguage) {
  struct Case {
    std::int32_t language;
    std::vector<std::string> existing;
    std::string expected;
  } cases[] = {
      {1033, {}, "printer RT5140"},
      {1033, {"Fax", "Microsoft XPS"}, "printer RT5140"},
      {1033, {"printer RT5140", "printer RT5140 (copy 1)"}, "printer RT5140 (copy 2)"},
      {1033, {"printer RT5140 (copy 1)", "printer RT5140"}, "printer RT5140 (copy 2)"},
      {1033, {"printer RT5140", "printer RT5140 (copy 2)"}, "printer RT5140 (copy 1)"},
      {1033, {"PRINTER RT5140"}, "printer RT5140"},
      {1033, {"", "printer RT5140"}, "printer RT5140 (copy 1)"},
      {2052, {"printer RT5140", "printer RT5140 (副本 1)"}, "printer RT5140 (副本 2)"},
      {2052, {"printer RT5140", "printer RT5140 (copy 1)"}, "printer RT5140 (副本 1)"},
  };
  for (const Case& c : cases) {
    Installer().UiLanguage = c.language;
    Installer().PrinterName = "printer RT5140";
    EXPECT_EQ(Installer().MakeUniquePrinterName(c.existing), c.expected);
  }
}

TEST_F(InstallerTest, UniqueNamingWritesOneDiagnosticLinePerComparison) {
  machine.spooler.AddExistingPrinter("Fax");
  machine.spooler.AddExistingPrinter("printer RT5140");
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_EQ(machine.system.debugLines,
            (std::vector<std::string>{
                "name=Fax,i=0,n=1.temStr=printer RT5140,userLanguage=1033\r\n",
                "name=printer RT5140,i=-1,n=2.temStr=printer RT5140 (copy 1),userLanguage=1033\r\n",
                "name=Fax,i=0,n=2.temStr=printer RT5140 (copy 1),userLanguage=1033\r\n",
                "name=printer RT5140,i=1,n=2.temStr=printer RT5140 (copy 1),userLanguage=1033\r\n"}));
  EXPECT_STREQ(Installer().ResultPrinterName, "printer RT5140 (copy 1)");
}

TEST_F(InstallerTest, WithoutAPrinterListThePrinterIsRequestedUnderTheModelName) {
  for (const char* call : {"EnumPrintersA", "EnumPrintersA.buffer"}) {
    machine.spooler.printers.clear();
    machine.spooler.AddExistingPrinter("printer RT5140 (copy 1)");
    machine.faults.Fail(call, 8, 1);
    ASSERT_TRUE(Installer().InstallPrinter(0, "USB001")) << call;
    EXPECT_STREQ(Installer().ResultPrinterName, "printer RT5140") << call;
    EXPECT_TRUE(machine.system.debugLines.empty());
  }
}

TEST_F(InstallerTest, ARefusedPrinterFailsTheInstallationAfterRemovingTheStagedFiles) {
  machine.spooler.AddExistingPrinter("PRINTER RT5140");
  EXPECT_FALSE(Installer().InstallPrinter(1, "USB001"));
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"The printer already exists.\r\n"}));
  EXPECT_STREQ(Installer().ResultPrinterName, "printer RT5140");
  for (const char* name : kStaged) EXPECT_FALSE(machine.files.Exists(std::string(kX86Dir) + "\\" + name)) << name;
  EXPECT_TRUE(machine.TraceOf("ClosePrinter").empty());
  EXPECT_TRUE(machine.TraceOf("SetDefaultPrinter").empty());
}

TEST_F(InstallerTest, ARefusedPrinterWithoutSystemTextShowsTheRegistrationFailureText) {
  machine.faults.Fail("AddPrinterA", 4242);
  machine.system.architecture = 9;
  machine.system.uiLanguage = 2052;
  EXPECT_FALSE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{"安装打印机驱动过程发生错误 !\r\n请关闭您的杀毒软件后重试 !"}));
  for (const char* name : kStaged) EXPECT_FALSE(machine.files.Exists(std::string(kX64Dir) + "\\" + name)) << name;
}

TEST_F(InstallerTest, TheDefaultPrinterIsTheOneCreatedAndNamedInTheMessage) {
  machine.spooler.AddExistingPrinter("printer RT5140");
  ASSERT_TRUE(Installer().InstallPrinter(1, "USB001"));
  EXPECT_EQ(machine.spooler.defaultPrinter, "printer RT5140 (copy 1)");
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{Success("printer RT5140 (copy 1)", "USB001")}));
}

TEST_F(InstallerTest, EveryInstallationStartsFromTheModelName) {
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB001"));
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB002"));
  EXPECT_STREQ(Installer().ResultPrinterName, "printer RT5140 (copy 1)");
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB002"));
  EXPECT_STREQ(Installer().ResultPrinterName, "printer RT5140 (copy 2)");
  EXPECT_EQ(machine.spooler.printers.size(), 3u);
}

TEST_F(InstallerTest, MessagesFollowTheLanguageAtTheMomentTheyAreShown) {
  machine.system.uiLanguage = 2052;
  Installer().UiLanguage = 1033;
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB001"));
  EXPECT_EQ(machine.messages.shown, (std::vector<std::string>{Success("printer RT5140", "USB001")}));
  Installer().UiLanguage = 2052;
  ASSERT_TRUE(Installer().InstallPrinter(0, "USB002"));
  EXPECT_EQ(machine.messages.shown.back(),
            "打印机驱动已经成功的安装在您的电脑上 !\r\n打印机名称 : printer RT5140 (副本 1)\r\n打印机端口 : USB002\r\n");
}

}  // namespace
