// The application against a simulated machine: start-up, the install command, the cursor and
// the clean-up, driven through the simulated modal run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/varnel_app.h"
#include "app/varnel_dlg.h"
#include "installer/install_texts.h"
#include "package_files.h"
#include "platform/sim/sim_machine.h"

namespace {

namespace ids = dialog_ids;
using Lines = std::vector<std::string>;

const char kWork[] = "C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\";
const char kTcpPorts[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const char kX86DriverDirectory[] = "C:\\Windows\\system32\\spool\\drivers\\W32X86";
const char kCopyFailure[] = "Malfunction !\nPls try using <Run as administrator>open this App";
constexpr std::uintptr_t kIcon = 0x4128;

// A machine with the program's resources, a USB printer on USB001, COM1 and LPT1, and the
// Standard TCP/IP monitor's Ports key.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.resources.PutFile(129, "ZIP", SETUP_DRIVER_PACKAGE_129));
    ASSERT_TRUE(machine.resources.PutFile(138, "ZIP", SETUP_DRIVER_PACKAGE_138));
    machine.resources.icons[128] = kIcon;
    title = machine.printing.AddBitmap(308, 87);
    machine.resources.bitmaps[133] = title;
    const std::string path = "\\\\?\\usb#vid_0416&pid_5011#0001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    std::string key = path;
    std::replace(key.begin(), key.end(), '\\', '#');
    machine.registry.SetDword(platform::kHkeyLocalMachine, std::string(kClassKey) + "\\" + key + "\\#\\Device Parameters",
                              "Port Number", 1);
    machine.devices.Add(path);
    machine.registry.SetString(platform::kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial0", "COM1");
    machine.registry.SetString(platform::kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\PARALLEL PORTS", "\\Device\\Parallel0",
                               "\\DosDevices\\LPT1");
    machine.registry.CreatePath(platform::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
    machine.registry.CreatePath(platform::kHkeyLocalMachine, kTcpPorts);
  }

  // Runs the program; the user acts on the open dialog, and the dialog object is looked at last.
  void Run(std::function<void(sim::SimDialogWindow&, CVarnelDlg&)> user = nullptr) {
    CVarnelApp application(machine.platform());
    machine.dialogs.user = [&](sim::SimDialogWindow& window) {
      CVarnelDlg* dialog = dynamic_cast<CVarnelDlg*>(&window.Handler());
      if (user) user(window, *dialog);
    };
    EXPECT_FALSE(application.InitInstance());
  }

  // The files left in the working directory, relative to it.
  Lines WorkingFiles() {
    Lines files;
    std::vector<platform::FoundFile> found;
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      found.clear();
      machine.files.FindFiles((std::string(kWork) + folder + "/*.*").c_str(), &found);
      for (const auto& entry : found) {
        if (!entry.dots) files.push_back(std::string(folder) + "\\" + entry.name);
      }
    }
    return files;
  }

  std::size_t Count(const std::string& prefix) { return machine.TraceOf(prefix).size(); }

  // Chooses LAN with an address and clicks install.
  static void InstallOnLan(sim::SimDialogWindow& window) {
    window.Click(ids::kLan);
    window.SetIpAddress(ids::kIpAddress, 0xC0A80164);
    window.Click(ids::kInstall);
  }

  // The files of the x86 driver directory, its version folder included, that hold the text.
  Lines DriverFilesHolding(const std::string& text) {
    Lines holding;
    for (const std::string& folder : {std::string(kX86DriverDirectory), std::string(kX86DriverDirectory) + "\\3"}) {
      std::vector<platform::FoundFile> found;
      machine.files.FindFiles((folder + "\\*.*").c_str(), &found);
      for (const platform::FoundFile& file : found) {
        if (file.directory) continue;
        if (machine.files.ReadFile(file.path).value_or("").find(text) != std::string::npos) holding.push_back(file.path);
      }
    }
    return holding;
  }

  // The programs started through the shell whose path holds the name.
  std::size_t Launches(const std::string& name) {
    return static_cast<std::size_t>(std::count_if(machine.shell.launches.begin(), machine.shell.launches.end(),
                                                  [&](const sim::Launch& l) { return l.file.find(name) != std::string::npos; }));
  }

  sim::SimMachine machine;
  platform::BitmapRef title = 0;
};

TEST_F(AppTest, StartUpOpensTheDialogInTheUserInterfaceLanguage) {
  struct Case {
    std::uint16_t language;
    const char* installLabel;
    const char* resource;
  } cases[] = {{2052, "开始安装打印机驱动", "FindResourceA 129 zip"},
               {1033, "installing the printer driver", "FindResourceA 138 zip"},
               {1028, "installing the printer driver", "FindResourceA 138 zip"}};
  for (const Case& c : cases) {
    machine.system.uiLanguage = c.language;
    machine.trace.clear();
    Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
      EXPECT_EQ(window.title, "Printer Driver Setup V1.23");
      EXPECT_EQ(window.Control(ids::kInstall).text, c.installLabel);
      EXPECT_EQ(window.bigIcon, kIcon);
      EXPECT_EQ(window.smallIcon, kIcon);
      ASSERT_EQ(window.notifications.size(), 1u);
      const platform::DeviceInterfaceFilter& filter = window.notifications[0];
      EXPECT_EQ(filter.size, 32u);
      EXPECT_EQ(filter.deviceType, 5u);
      EXPECT_EQ(filter.reserved, 0u);
      EXPECT_EQ(filter.classGuid.data1, 0x28d78fadu);
      EXPECT_EQ(filter.classGuid.data4[7], 0xc2);
      EXPECT_EQ(window.Control(ids::kPortList).items.at(1), "USB001");
      EXPECT_EQ(machine.files.currentDirectory + "\\", kWork);
      EXPECT_EQ(WorkingFiles().size(), 28u);
    });
    EXPECT_EQ(machine.TraceOf("FindResourceA"), Lines{c.resource}) << c.language;
  }
  EXPECT_EQ(machine.dialogs.commonControls, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{8, 0xFF}, {8, 0xFF}, {8, 0xFF}}));
}

TEST_F(AppTest, StartUpRunsInOrder) {
  Run();
  const Lines& t = machine.trace;
  // The position of the first call that starts so; a call that never happened fails the test.
  auto at = [&](const std::string& prefix) {
    const auto found = std::find_if(t.begin(), t.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    if (found == t.end()) ADD_FAILURE() << "never called: " << prefix;
    return found - t.begin();
  };
  EXPECT_LT(at("ShellExecuteA C:\\Windows\\system32\\net.exe start spooler"), at("LoadIconW 128"));
  EXPECT_LT(at("LoadIconW 128"), at("SetupDiGetClassDevsA"));
  EXPECT_LT(at("SetupDiGetClassDevsA"), at("CreateDirectoryA C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\"));
  EXPECT_LT(at("CreateDirectoryA C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\"),
            at("SetCurrentDirectoryA C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\"));
  EXPECT_LT(at("SetCurrentDirectoryA"), at("FindResourceA"));
}

struct InstallCase {
  const char* name;
  int button;
  std::function<void(sim::SimDialogWindow&)> choose;
  const char* port;
  bool testPage;
};

TEST_F(AppTest, InstallPreparesThePortInstallsAndClosesTheDialog) {
  const InstallCase cases[] = {
      {"usb", ids::kUsb, nullptr, "USB001", true},
      {"com 38400", ids::kCom, [](sim::SimDialogWindow& w) { w.Click(ids::kBaud38400); }, "COM1:", false},
      {"lpt", ids::kLpt, nullptr, "LPT1:", false},
      {"lan", ids::kLan, [](sim::SimDialogWindow& w) { w.SetIpAddress(ids::kIpAddress, 0xC0A80164); },
       "IP_[192.168.1.100]", false},
  };
  for (const InstallCase& c : cases) {
    SCOPED_TRACE(c.name);
    machine.spooler.printers.clear();
    machine.printing.documents.clear();
    machine.trace.clear();
    bool busyDuringInstall = false;
    machine.messages.onShow = nullptr;
    Run([&](sim::SimDialogWindow& window, CVarnelDlg& dialog) {
      window.Click(c.button);
      if (c.choose) c.choose(window);
      machine.messages.onShow = [&](const std::string&) {
        busyDuringInstall = dialog.InstallBusy && !window.Control(ids::kInstall).enabled &&
                            !window.Control(ids::kExit).enabled;
      };
      window.Click(ids::kInstall);
      EXPECT_TRUE(window.ended);
      EXPECT_EQ(window.result, platform::kIdCancel);
      EXPECT_FALSE(dialog.InstallBusy);
      EXPECT_TRUE(window.Control(ids::kInstall).enabled);
      EXPECT_TRUE(window.Control(ids::kExit).enabled);
    });
    EXPECT_TRUE(busyDuringInstall);
    const sim::SimPrinter* printer = machine.spooler.Printer("printer RT5140");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->port, c.port);
    EXPECT_EQ(machine.printing.documents.size(), c.testPage ? 1u : 0u);
    if (c.testPage) {
      EXPECT_EQ(machine.printing.documents[0].name, "printer RT5140");
      EXPECT_EQ(machine.resources.loadedBitmaps[title], 0);
      EXPECT_EQ(Count("LoadBitmapW 133"), 1u);
    }
    EXPECT_EQ(Count("RegSetValueExA COM1:"), c.button == ids::kCom ? 1u : 0u);
    EXPECT_EQ(Count("ShellExecuteExA"), c.button == ids::kLan ? 2u : 0u);
    EXPECT_TRUE(WorkingFiles().empty());
  }
  EXPECT_EQ(machine.registry.Value(platform::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                                   "COM1:")->Text(),
            "38400,n,8,1,p");
  EXPECT_EQ(machine.registry.Value(platform::kHkeyLocalMachine, std::string(kTcpPorts) + "\\IP_[192.168.1.100]",
                                   "HostName")->Text(),
            "192.168.1.100");
}

// The baud buttons, and none of them (-1), as the line settings the serial port gets.
TEST_F(AppTest, TheBaudButtonReachesTheSerialPortSettings) {
  const struct {
    int button;  // 0: no baud button selected
    const char* settings;
  } cases[] = {{ids::kBaud9600, "9600,n,8,1,p"},
               {ids::kBaud19200, "19200,n,8,1,p"},
               {ids::kBaud38400, "38400,n,8,1,p"},
               {ids::kBaud115200, "115200,n,8,1,p"},
               {0, "9600,n,8,1,p"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    machine.spooler.printers.clear();
    Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
      window.Click(ids::kCom);
      // From another choice, so that a choice not read from the buttons shows.
      window.Click(c.button == ids::kBaud115200 ? ids::kBaud19200 : ids::kBaud115200);
      if (c.button != 0) {
        ASSERT_TRUE(window.Click(c.button));
      } else {
        for (int id : {ids::kBaud9600, ids::kBaud19200, ids::kBaud38400, ids::kBaud115200}) window.SetChecked(id, false);
      }
      window.Click(ids::kInstall);
      EXPECT_TRUE(window.ended);
    });
    const auto value =
        machine.registry.Value(platform::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Text(), c.settings);
  }
}

// "Yes" makes the new printer the default; "No", even after "Yes" was clicked, leaves the default
// printer alone.
TEST_F(AppTest, TheDefaultPrinterChoiceReachesTheInstaller) {
  const struct {
    const char* name;
    std::vector<int> clicks;
    const char* defaultAfter;
  } cases[] = {{"yes", {1003}, "printer RT5140"}, {"no", {1003, ids::kDefaultNo}, "Other"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    machine.spooler.printers.clear();
    machine.spooler.AddExistingPrinter("Other");
    machine.spooler.defaultPrinter = "Other";
    machine.trace.clear();
    Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
      for (int id : c.clicks) ASSERT_TRUE(window.Click(id));
      window.Click(ids::kInstall);
      EXPECT_TRUE(window.ended);
    });
    EXPECT_NE(machine.spooler.Printer("printer RT5140"), nullptr);
    EXPECT_EQ(machine.spooler.defaultPrinter, c.defaultAfter);
    EXPECT_EQ(Count("SetDefaultPrinter"), std::string(c.name) == "yes" ? 1u : 0u);
  }
}

// A printer of the model's name is there already: the test page goes to the copy the installation
// made, in the language the switch chose after start-up.
TEST_F(AppTest, TheTestPageGoesToThePrinterMadeInTheLanguageChosen) {
  const struct {
    std::uint16_t startLanguage;
    std::int32_t chosenLanguage;
  } cases[] = {{2052, kLanguageEnglish}, {1033, kLanguageChinese}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.startLanguage);
    machine.system.uiLanguage = c.startLanguage;
    machine.spooler.printers.clear();
    machine.spooler.AddExistingPrinter("printer RT5140", "USB002");
    machine.printing.documents.clear();
    LanguageToggleCount = 1;
    Run([&](sim::SimDialogWindow& window, CVarnelDlg& dialog) {
      for (int i = 0; i < 5; ++i) ASSERT_TRUE(window.DoubleClick(ids::kLanguageSwitch));
      ASSERT_EQ(dialog.Installer.UiLanguage, c.chosenLanguage);
      window.Click(ids::kInstall);
      EXPECT_TRUE(window.ended);
    });
    char copy[256] = {};
    std::snprintf(copy, sizeof copy, CopyNameFormat(c.chosenLanguage), "printer RT5140", 1);
    const sim::SimPrinter* printer = machine.spooler.Printer(copy);
    ASSERT_NE(printer, nullptr) << copy;
    EXPECT_EQ(printer->port, "USB001");
    ASSERT_EQ(machine.printing.documents.size(), 1u);
    const sim::SimDocument& page = machine.printing.documents[0];
    EXPECT_EQ(page.printer, copy);
    EXPECT_EQ(page.name, copy);
    const std::string text = TestPageTextFor(c.chosenLanguage);
    ASSERT_EQ(page.drawing.size(), 5u);
    EXPECT_NE(page.drawing[0].find("\"" + text + "\""), std::string::npos) << page.drawing[0];
    EXPECT_EQ(page.drawing[2], "TextOutA printer 10 430 " + std::to_string(std::strlen(copy)) + " \"" + copy + "\"");
  }
  LanguageToggleCount = 1;
}

// A failed installation prints nothing and closes nothing; the next click runs the whole command
// again, port preparation included.
TEST_F(AppTest, AFailedInstallationGivesTheDialogBackForAnotherAttempt) {
  const struct {
    const char* name;
    int button;
    std::size_t pagesAfterRetry;
    std::size_t serialSettings;
  } cases[] = {{"usb", ids::kUsb, 1, 0}, {"com", ids::kCom, 0, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    machine.spooler.printers.clear();
    machine.printing.documents.clear();
    machine.trace.clear();
    machine.faults.Fail("AddPrinterDriverA", 5, 1);
    Run([&](sim::SimDialogWindow& window, CVarnelDlg& dialog) {
      window.Click(c.button);
      window.Click(ids::kInstall);
      EXPECT_FALSE(window.ended);
      EXPECT_FALSE(dialog.InstallBusy);
      EXPECT_TRUE(window.Control(ids::kInstall).enabled);
      EXPECT_TRUE(window.Control(ids::kExit).enabled);
      // Not even an attempt: the printer it would go to was never made.
      EXPECT_EQ(Count("LoadBitmapW"), 0u);
      EXPECT_EQ(Count("CreateDCA"), 0u);
      EXPECT_TRUE(machine.printing.documents.empty());
      window.Click(ids::kInstall);
      EXPECT_TRUE(window.ended);
    });
    EXPECT_EQ(machine.printing.documents.size(), c.pagesAfterRetry);
    EXPECT_EQ(Count("RegSetValueExA COM1:"), c.serialSettings);
    EXPECT_NE(machine.spooler.Printer("printer RT5140"), nullptr);
  }
}

TEST_F(AppTest, TheCursorIsTheWaitCursorWhileBusyAndTheHandOverTheLink) {
  Run([&](sim::SimDialogWindow& window, CVarnelDlg& dialog) {
    auto cursor = [&](platform::WindowRef under) {
      window.cursor = 0;
      platform::DialogMessage message;
      message.message = platform::kWmSetCursor;
      message.wParam = under;
      const platform::MessageResult result = window.Send(message);
      return result.handled ? window.cursor : -1;
    };
    const platform::WindowRef link = window.ControlWindow(ids::kWizardLink);
    const platform::WindowRef list = window.ControlWindow(ids::kPortList);
    EXPECT_EQ(cursor(list), -1);
    EXPECT_EQ(cursor(link), platform::kIdcHand);
    dialog.InstallBusy = true;
    EXPECT_EQ(cursor(list), platform::kIdcWait);
    EXPECT_EQ(cursor(link), platform::kIdcWait);
    dialog.InstallBusy = false;
  });
}

TEST_F(AppTest, TheWorkingDirectoryIsEmptiedOnceHoweverTheDialogCloses) {
  const std::function<void(sim::SimDialogWindow&)> closings[] = {
      [](sim::SimDialogWindow& w) { w.Click(ids::kExit); },
      [](sim::SimDialogWindow& w) { w.PressEscape(); },
      [](sim::SimDialogWindow& w) { w.Close(); },  // the close box
      [](sim::SimDialogWindow&) {},               // left open: the runner clicks the close box
      [](sim::SimDialogWindow& w) { w.Click(ids::kInstall); },
  };
  for (const auto& close : closings) {
    SCOPED_TRACE(&close - closings);
    machine.trace.clear();
    machine.spooler.printers.clear();
    machine.files.PutFile(std::string(kWork) + "leftover.txt", "from an earlier run");
    Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
      EXPECT_EQ(WorkingFiles().size(), 28u);
      EXPECT_TRUE(machine.files.Pinned(kWork));  // held from start-up to the end
      close(window);
    });
    ASSERT_NE(machine.dialogs.window, nullptr);
    EXPECT_TRUE(machine.dialogs.window->ended);
    EXPECT_EQ(machine.dialogs.window->result, platform::kIdCancel);
    EXPECT_EQ(machine.files.OpenDirectoryCount(), 0u);
    EXPECT_TRUE(WorkingFiles().empty());
    EXPECT_FALSE(machine.files.Exists(std::string(kWork) + "leftover.txt"));
    EXPECT_TRUE(machine.files.IsDirectory(kWork));
    EXPECT_EQ(Count("ReleaseMutexMark"), 1u);
    EXPECT_EQ(Count("RemoveDirectoryA"), 2u);
  }
}

TEST_F(AppTest, AnotherRunningCopyKeepsThePackage) {
  machine.instances.otherCopies = 1;
  Run();
  EXPECT_EQ(WorkingFiles().size(), 28u);
  EXPECT_EQ(machine.files.OpenDirectoryCount(), 0u);
  machine.instances.otherCopies = 0;
  Run();
  EXPECT_TRUE(WorkingFiles().empty());
}

TEST_F(AppTest, ADirectoryThatWasNotEnteredIsNotCleaned) {
  machine.faults.Fail("SetCurrentDirectoryA", 5);
  machine.files.PutFile("C:\\keep.txt", "the process's own folder");
  Run();
  EXPECT_TRUE(machine.files.Exists("C:\\keep.txt"));
  EXPECT_EQ(Count("FindResourceA"), 0u);
  EXPECT_EQ(Count("DeleteFileA"), 0u);
}

TEST_F(AppTest, MinimisedTheDialogPaintsItsIconCentred) {
  Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
    platform::DialogMessage paint;
    paint.message = platform::kWmPaint;
    EXPECT_FALSE(window.Send(paint).handled);
    window.minimized = true;
    window.clientWidth = 101;
    window.clientHeight = 60;
    EXPECT_TRUE(window.Send(paint).handled);
    ASSERT_EQ(window.paintedIcons.size(), 1u);
    EXPECT_EQ(window.paintedIcons[0].x, 35);  // (101 - 32 + 1) / 2
    EXPECT_EQ(window.paintedIcons[0].y, 14);  // (60 - 32 + 1) / 2
    EXPECT_EQ(window.paintedIcons[0].icon, kIcon);
    platform::DialogMessage drag;
    drag.message = platform::kWmQueryDragIcon;
    EXPECT_EQ(static_cast<std::uintptr_t>(window.Send(drag).value), kIcon);
  });
}

TEST_F(AppTest, TheWizardLinkRunsTheSystemsRundll32OnThePackagesInf) {
  struct Case {
    std::uint16_t architecture;
    const char* command;
  } cases[] = {
      {9, "printui.dll PrintUIEntry /ii /f \"C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\Windows x64\\ZNDRVx64.INF\""},
      {0, "printui.dll PrintUIEntry /ii /f \"C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\Windows NT x86\\ZNDRV.INF\""},
      {6, nullptr},
      {12, nullptr},
  };
  for (const Case& c : cases) {
    machine.system.architecture = c.architecture;
    machine.shell.launches.clear();
    Run([&](sim::SimDialogWindow& window, CVarnelDlg&) { window.Command(ids::kWizardLink, platform::kBnClicked); });
    std::vector<sim::Launch> rundll;
    for (const sim::Launch& launch : machine.shell.launches) {
      if (launch.file.find("rundll32") != std::string::npos) rundll.push_back(launch);
    }
    ASSERT_EQ(rundll.size(), c.command ? 1u : 0u) << c.architecture;
    if (!c.command) continue;
    EXPECT_EQ(rundll[0].file, "C:\\Windows\\system32\\rundll32.exe");
    EXPECT_EQ(rundll[0].parameters, c.command);
    EXPECT_EQ(rundll[0].verb, "open");
    EXPECT_EQ(rundll[0].show, 1);
    EXPECT_NE(rundll[0].window, 0u);
  }
}

// Another program replaces an unpacked driver file while the dialog is open: its copy in the
// driver directory is not what the program carries, so nothing is registered or created.
TEST_F(AppTest, AFileSwappedAfterUnpackingIsNeverInstalled) {
  Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
    machine.files.PutFile(std::string(kWork) + "Windows NT x86\\RCQ80.DLL", "planted by another program");
    InstallOnLan(window);
    EXPECT_FALSE(window.ended);
    EXPECT_TRUE(window.Control(ids::kInstall).enabled);
  });
  EXPECT_EQ(machine.messages.shown, Lines{kCopyFailure});
  EXPECT_EQ(Count("CopyFileA"), 8u);
  EXPECT_EQ(Count("AddPrinterDriverA"), 0u);
  EXPECT_TRUE(machine.spooler.printers.empty());
  EXPECT_EQ(DriverFilesHolding("planted"), Lines{});
}

// The package checked against is the one start-up unpacked: after a switch to English the
// Chinese package (whose minidriver differs from the English one) is still the one installed.
TEST_F(AppTest, TheLanguageSwitchKeepsThePackageThatWasUnpacked) {
  machine.system.uiLanguage = 2052;
  LanguageToggleCount = 1;
  Run([&](sim::SimDialogWindow& window, CVarnelDlg& dialog) {
    for (int i = 0; i < 5; ++i) window.DoubleClick(ids::kLanguageSwitch);
    ASSERT_EQ(dialog.Installer.UiLanguage, kLanguageEnglish);
    window.Click(ids::kLpt);
    window.Click(ids::kInstall);
    EXPECT_TRUE(window.ended);
  });
  EXPECT_NE(machine.spooler.Printer("printer RT5140"), nullptr);
  const Lines found = machine.TraceOf("FindResourceA");
  EXPECT_EQ(found.size(), 9u);  // the unpacking, then each of the eight staged files
  EXPECT_EQ(std::count(found.begin(), found.end(), "FindResourceA 129 zip"), 9);
}

// Package files beside the program are never installed: without the working directory that
// start-up entered and unpacked into, the install command and the wizard link show the copy
// failure, prepare no port and start nothing.
TEST_F(AppTest, WithoutAnUnpackedPackageNothingBesideTheProgramIsUsed) {
  for (const std::string& file : package_files::All()) machine.files.PutFile("C:\\" + file, "beside the program");
  const std::string work = std::string(kWork).substr(0, std::strlen(kWork) - 1);
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::function<void()> undo;
  } cases[] = {
      {"a file holds the directory's name", [&] { machine.files.PutFile(work, "not a directory"); },
       [&] { machine.files.DeleteFile(work.c_str()); }},
      {"the package resource cannot be found", [&] { machine.faults.Fail("FindResourceA", 1813); },
       [&] { machine.faults.Clear("FindResourceA"); }},
      {"an entry cannot be unpacked", [&] { machine.faults.FailAfter("CreateFileA", 5, platform::kErrorAccessDenied); },
       [] {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine.trace.clear();
    machine.messages.shown.clear();
    machine.shell.launches.clear();
    c.arrange();
    Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
      window.Command(ids::kWizardLink, platform::kBnClicked);
      InstallOnLan(window);
      EXPECT_FALSE(window.ended);
    });
    c.undo();
    EXPECT_EQ(machine.messages.shown, (Lines{kCopyFailure, kCopyFailure}));
    EXPECT_EQ(Count("CopyFileA"), 0u);
    EXPECT_EQ(Count("RegCreateKeyExA"), 0u);
    EXPECT_EQ(Launches("rundll32"), 0u);
    EXPECT_EQ(Count("ShellExecuteExA"), 0u);
    EXPECT_TRUE(machine.spooler.printers.empty());
  }
}

// While the installation waits on its message box, a USB arrival refreshes the panel: the
// install button stays disabled and a click that reaches the dialog anyway starts nothing. Every
// box is owned by the dialog, which the system keeps disabled while one is open.
TEST_F(AppTest, AMessageBoxOpenWhileThePanelRefreshesLetsNoSecondInstallationStart) {
  platform::WindowRef dialogWindow = 0;
  Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
    dialogWindow = window.Window();
    machine.messages.onShow = [&](const std::string&) {
      window.DeviceEvent(platform::kDbtDeviceArrival, platform::kDbtDevtypDeviceInterface);
      EXPECT_EQ(window.Control(ids::kPortList).items.at(1), "USB001");
      EXPECT_FALSE(window.Control(ids::kInstall).enabled);
      EXPECT_FALSE(window.Click(ids::kInstall));
      window.Command(ids::kInstall, platform::kBnClicked);
    };
    window.Click(ids::kInstall);
    machine.messages.onShow = nullptr;
    EXPECT_TRUE(window.ended);
  });
  EXPECT_EQ(machine.spooler.printers.size(), 1u);
  EXPECT_EQ(Count("AddPrinterDriverA"), 1u);
  EXPECT_EQ(machine.printing.documents.size(), 1u);
  EXPECT_NE(dialogWindow, 0u);
  EXPECT_EQ(machine.messages.owners, std::vector<platform::WindowRef>{dialogWindow});
  EXPECT_EQ(machine.messages.owner, 0u);  // given up when the window goes
}

// Without a system directory there is no full path to "net" or "rundll32": nothing is started,
// never a program of that name at the root of the current drive.
TEST_F(AppTest, WithoutASystemDirectoryNoProgramIsStarted) {
  machine.system.systemDirectory.clear();
  Run([&](sim::SimDialogWindow& window, CVarnelDlg&) {
    window.Command(ids::kWizardLink, platform::kBnClicked);
    InstallOnLan(window);
  });
  EXPECT_TRUE(machine.shell.launches.empty());
  EXPECT_EQ(Count("ShellExecute"), 0u);
}

}  // namespace
