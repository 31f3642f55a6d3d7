// The real Setup.exe of this build, started as a process of its own under Wine and driven from
// outside as a user would: its dialog is found by its title, its buttons are clicked with window
// messages, and its message boxes are read and answered. What it leaves in the spooler, the
// registry and the working directory is checked afterwards. The test page it prints on a USB
// printer goes to a file that tests/win32/check_test_page.sh reads (win32.setup_e2e_page_output).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_texts.h"
#include "installer/install_texts.h"
#include "package_files.h"
#include "usb_printer_interface.h"
#include "wine_support.h"

namespace {

using Lines = std::vector<std::string>;

const char kSetup[] = SETUP_BINARY_DIR "/Setup.exe";
const char kTitle[] = "Printer Driver Setup V1.23";
const char kModel[] = "printer RT5140";
const char kAddress[] = "192.168.7.21";
const char kIpPort[] = "IP_[192.168.7.21]";
const char kUsbPort[] = "USB009";
const DWORD kUsbPortNumber = 9;

// Every wait of this test ends after this long, so that a hang fails the test.
constexpr DWORD kTimeoutMs = 60000;

// The environment whose driver Setup.exe registers: the machine's architecture's.
const char* const kEnvironment = wine_test::NativeEnvironment();

// The language the test runs in, as Setup.exe takes it from the user's UI language.
std::int32_t Language() {
  return GetUserDefaultUILanguage() == kLanguageChinese ? kLanguageChinese : kLanguageEnglish;
}

std::string SuccessText(const std::string& printer, const std::string& port) {
  if (Language() == kLanguageChinese) {
    return "打印机驱动已经成功的安装在您的电脑上 !\r\n打印机名称 : " + printer + "\r\n打印机端口 : " + port + "\r\n";
  }
  return "The printer driver has been successfully installed on your computer!\r\nPrinter name : " + printer +
         "\r\nPrinter port : " + port + "\r\n";
}

std::string CopyName(int number) {
  const char* copy = Language() == kLanguageChinese ? " (副本 " : " (copy ";
  return std::string(kModel) + copy + std::to_string(number) + ")";
}

// The copy-failure text Setup.exe shows on this machine: by the variant of the native
// architecture, which the test shares with Setup.exe in the prefix, and the Windows version.
std::string CopyFailure() {
  SYSTEM_INFO system = {};
  GetNativeSystemInfo(&system);
  const DriverVariant variant =
      system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? DriverVariant::X64 : DriverVariant::X86;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  return CopyFailureText(variant, Language(), version.dwMajorVersion < 6 ? 0 : 3);
}

// Bytes that another program writes where the installer looks for its driver files; of this
// run only, so that what a failed earlier run left in the prefix is not taken for this one's.
const std::string kPlanted =
    "planted by another program " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());

// The files below a folder, its subfolders included, that hold the text.
std::vector<std::string> FilesHolding(const std::string& folder, const std::string& text) {
  std::vector<std::string> holding;
  for (const std::string& name : wine_test::FolderEntries(folder)) {
    const std::string path = folder + "\\" + name;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      for (const std::string& inner : FilesHolding(path, text)) holding.push_back(inner);
    } else if (wine_test::ReadWholeFile(path).find(text) != std::string::npos) {
      holding.push_back(path);
    }
  }
  return holding;
}

std::string WorkingDirectory() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "Quarl2020";
}

// The package files that are missing from the working directory.
Lines MissingPackageFiles() {
  Lines missing;
  for (const std::string& file : package_files::All()) {
    if (!wine_test::FileExists(WorkingDirectory() + "\\" + file)) missing.push_back(file);
  }
  return missing;
}

void ExpectWorkingDirectoryEmpty() {
  const DWORD attributes = GetFileAttributesA(WorkingDirectory().c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "the working directory is gone";
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(wine_test::FolderEntries(WorkingDirectory()), Lines{});
}

struct WindowSearch {
  DWORD processId;
  const std::function<bool(HWND)>* wanted;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && (*search->wanted)(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

// The visible top-level windows of a process that satisfy the predicate.
std::vector<HWND> WindowsOf(DWORD processId, const std::function<bool(HWND)>& wanted) {
  WindowSearch search{processId, &wanted, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kTimeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// Sends a message that the dialog answers at once; false when it does not answer in time.
bool Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs, result ? result : &ignored) != 0;
}

// Runs its action when it goes, however the test ends.
class AtEnd {
 public:
  explicit AtEnd(std::function<void()> action) : action_(std::move(action)) {}
  ~AtEnd() { action_(); }
  AtEnd(const AtEnd&) = delete;
  AtEnd& operator=(const AtEnd&) = delete;

 private:
  std::function<void()> action_;
};

// One Setup.exe started by the test; a copy still running when the object goes is ended.
class SetupProcess {
 public:
  // Starts the program in the folder given (its current directory at start).
  bool Start(const std::string& program, const std::string& folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process_)) {
      return false;
    }
    return true;
  }

  ~SetupProcess() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, kTimeoutMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  // Starts the program in the folder and waits for its dialog; null when either fails.
  HWND Open(const std::string& program, const std::string& folder) {
    return Start(program, folder) ? WaitForDialog() : nullptr;
  }

  // The main dialog once it is shown and its initialisation is over, or null.
  HWND WaitForDialog() {
    HWND dialog = nullptr;
    WaitUntil([&] {
      const std::vector<HWND> found = WindowsOf(process_.dwProcessId, [](HWND w) { return wine_test::TextOf(w) == kTitle; });
      if (!found.empty()) dialog = found[0];
      return dialog != nullptr || Ended();
    });
    // The dialog handles messages only once its initialisation, unpacking included, is over.
    if (dialog != nullptr && !Send(dialog, WM_NULL)) return nullptr;
    dialog_ = dialog;
    return dialog;
  }

  // Answers the program's message boxes with OK until it ends; the texts in the order shown.
  // `onBox` sees each text while its box is still open.
  Lines AnswerUntilEnd(const std::function<void(const std::string&)>& onBox = {}) {
    Lines shown;
    WaitUntil([&] {
      AnswerOpenBoxes(SIZE_MAX, onBox, &shown);
      return Ended();
    });
    return shown;
  }

  // Answers `count` message boxes with OK, then waits until the install command has given the
  // buttons back; the texts in the order shown. `onBox` sees each text while its box is open.
  Lines AnswerBoxes(std::size_t count, const std::function<void(const std::string&)>& onBox = {}) {
    Lines shown;
    WaitUntil([&] {
      AnswerOpenBoxes(count, onBox, &shown);
      return (shown.size() == count && IsWindowEnabled(GetDlgItem(dialog_, IDOK))) || Ended();
    });
    return shown;
  }

  // Ends the dialog as the exit button does and waits for the process to end.
  bool Close() {
    if (dialog_ == nullptr) return false;
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return WaitUntil([&] { return Ended(); });
  }

  bool Ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

 private:
  // Answers the boxes open now with OK, one after the other, until `shown` holds `most` texts.
  void AnswerOpenBoxes(std::size_t most, const std::function<void(const std::string&)>& onBox, Lines* shown) {
    for (HWND box : MessageBoxes()) {
      if (shown->size() >= most) return;
      const std::string text = wine_test::TextOf(GetDlgItem(box, 0xFFFF));
      shown->push_back(text);
      if (onBox) onBox(text);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
      WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
    }
  }

  // The program's message boxes: its dialogs of the standard class captioned "Setup".
  std::vector<HWND> MessageBoxes() const {
    return WindowsOf(process_.dwProcessId,
                     [&](HWND w) { return w != dialog_ && wine_test::ClassOf(w) == "#32770" && wine_test::TextOf(w) == "Setup"; });
  }

  PROCESS_INFORMATION process_ = {};
  HWND dialog_ = nullptr;
};

std::string TextValue(const std::string& path, const char* name) {
  char data[260] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
  const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "(no text)";
}

DWORD DwordValue(const std::string& path, const char* name) {
  DWORD data = 0xFFFFFFFF;
  DWORD size = sizeof data;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return data;
  RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(key);
  return data;
}

// The process that serves Wine's spooler service, or 0 while it does not run.
DWORD SpoolerProcess() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return 0;
  SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS);
  SERVICE_STATUS_PROCESS status = {};
  DWORD needed = 0;
  DWORD process = 0;
  if (service != nullptr && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                                 sizeof status, &needed) &&
      status.dwCurrentState == SERVICE_RUNNING) {
    process = status.dwProcessId;
  }
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return process;
}

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wine_test::FileExists(setup)) << setup;
    RemoveWhatInstallsMake();
  }
  void TearDown() override { RemoveWhatInstallsMake(); }

  static void RemoveWhatInstallsMake() {
    wine_test::DeletePrinters(kModel);
    wine_test::DeleteDriver(kModel, "Windows NT x86");
    wine_test::DeleteDriver(kModel, "Windows x64");
  }

  // Clicks a button of the dialog and waits for its handler to finish.
  static void Click(HWND dialog, int id) { ASSERT_TRUE(Send(GetDlgItem(dialog, id), BM_CLICK)); }
  // Clicks the install button without waiting: the installation's message boxes block it.
  static void ClickInstall(HWND dialog) { PostMessageA(GetDlgItem(dialog, 1), BM_CLICK, 0, 0); }

  // Chooses LAN, types the address and starts the installation.
  static void InstallOnLan(HWND dialog) {
    Click(dialog, 1009);
    ASSERT_TRUE(Send(GetDlgItem(dialog, 1011), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 7, 21)));
    ClickInstall(dialog);
  }

  const std::string setup = wine_test::DosPath(kSetup);
};

// Wine takes the UI language from the locale it starts in: LC_ALL=zh_CN.UTF-8 gives the Chinese
// UI language and the ANSI code page 936.
TEST_F(SetupTest, RunsInTheLocalesLanguage) {
  const char* locale = nullptr;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = std::getenv(name);
    if (locale != nullptr && *locale != '\0') break;
  }
  if (locale != nullptr && std::strncmp(locale, "zh_CN", 5) == 0) {
    EXPECT_EQ(Language(), kLanguageChinese);
    EXPECT_EQ(GetACP(), 936u);
  } else {
    EXPECT_EQ(Language(), kLanguageEnglish) << (locale ? locale : "(no locale)");
  }
}

TEST_F(SetupTest, OpensWithItsLabelsAndUnpacksThePackage) {
  SetupProcess program;
  ASSERT_TRUE(program.Start(setup, wine_test::ProgramFolder())) << GetLastError();
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "no dialog titled " << kTitle;

  for (std::size_t i = 0; i < kControlLabelCount; ++i) {
    EXPECT_EQ(wine_test::TextOf(GetDlgItem(dialog, kControlLabels[i].id)), LabelText(kControlLabels[i], Language()))
        << kControlLabels[i].id;
  }
  EXPECT_EQ(wine_test::TextOf(GetDlgItem(dialog, 1)),
            Language() == kLanguageChinese ? "开始安装打印机驱动" : "installing the printer driver");
  EXPECT_EQ(MissingPackageFiles(), Lines{});
  Lines folders = wine_test::FolderEntries(WorkingDirectory());
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (Lines{"Windows NT x86", "Windows x64"}));
  EXPECT_EQ(wine_test::FolderEntries(WorkingDirectory() + "\\Windows NT x86").size(), 14u);
  EXPECT_EQ(wine_test::FolderEntries(WorkingDirectory() + "\\Windows x64").size(), 14u);

  ASSERT_TRUE(program.Close());
  ExpectWorkingDirectoryEmpty();
}

// A network printer: its Standard TCP/IP port key, a restart of the spooler, the driver and the
// printer, the success message, and the dialog closes by itself. A second run makes a copy.
class SetupLanTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    ASSERT_TRUE(ports.ready());
  }

  wine_test::TcpIpPortsKey ports{kIpPort};
};

TEST_F(SetupLanTest, InstallsANetworkPrinterAndThenACopy) {
  const std::string portKey = ports.PortKey();
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    SetupProcess program;
    ASSERT_TRUE(program.Start(setup, wine_test::ProgramFolder()));
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    // The program starts the spooler as it starts; the installation restarts it.
    ASSERT_TRUE(WaitUntil([] { return SpoolerProcess() != 0; }));
    const DWORD spoolerBefore = SpoolerProcess();

    InstallOnLan(dialog);
    const std::string printer = run == 0 ? std::string(kModel) : CopyName(1);
    EXPECT_EQ(program.AnswerUntilEnd(), Lines{SuccessText(printer, kIpPort)});
    ASSERT_TRUE(program.Ended()) << "the dialog did not close after the installation";

    EXPECT_EQ(TextValue(portKey, "HostName"), kAddress);
    EXPECT_EQ(DwordValue(portKey, "PortNumber"), 9100u);
    EXPECT_EQ(DwordValue(portKey, "Protocol"), 1u);
    const DWORD spoolerAfter = SpoolerProcess();
    EXPECT_NE(spoolerAfter, 0u) << "the spooler does not run";
    EXPECT_NE(spoolerAfter, spoolerBefore) << "the spooler was not restarted";
    EXPECT_TRUE(wine_test::DriverRegistered(kModel, kEnvironment));
    EXPECT_EQ(wine_test::PrinterPort(printer), kIpPort);
    ExpectWorkingDirectoryEmpty();
  }
}

// A net.exe beside the program, in the folder it is started from and in the working directory:
// the spooler restart runs the system's net command, never one of these.
TEST_F(SetupLanTest, RunsOnlyTheSystemsNetCommand) {
  const std::string fake = wine_test::ProgramFolder() + "\\fake-net\\net.exe";
  ASSERT_TRUE(wine_test::FileExists(fake)) << fake;
  const std::string folder = wine_test::ScratchFolder("setup-planted-net");
  const std::string program = folder + "\\Setup.exe";
  ASSERT_TRUE(CopyFileA(setup.c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(fake.c_str(), (folder + "\\net.exe").c_str(), FALSE));
  CreateDirectoryA(WorkingDirectory().c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(fake.c_str(), (WorkingDirectory() + "\\net.exe").c_str(), FALSE));
  const Lines marks = {folder + "\\net-ran.mark", WorkingDirectory() + "\\net-ran.mark"};
  AtEnd removePlanted([&] {
    for (const std::string& mark : marks) DeleteFileA(mark.c_str());
    DeleteFileA((WorkingDirectory() + "\\net.exe").c_str());
    wine_test::RemoveTree(folder);
  });

  SetupProcess setupCopy;
  HWND dialog = setupCopy.Open(program, folder);
  ASSERT_NE(dialog, nullptr);
  InstallOnLan(dialog);
  // The restart is over when the success message shows; the working directory still holds
  // what was put there.
  bool checked = false;
  const Lines shown = setupCopy.AnswerUntilEnd([&](const std::string&) {
    checked = true;
    EXPECT_TRUE(wine_test::FileExists(WorkingDirectory() + "\\net.exe"));
    for (const std::string& mark : marks) EXPECT_FALSE(wine_test::FileExists(mark)) << mark;
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(shown, Lines{SuccessText(kModel, kIpPort)});
  for (const std::string& mark : marks) EXPECT_FALSE(wine_test::FileExists(mark)) << mark;
  ExpectWorkingDirectoryEmpty();
}

// A USB printer: the installation prints the test page on the new printer, whose port Wine's
// spooler writes to setup-e2e/<language>/test_page.ps in the build folder; the page text of the
// language goes beside it (page_text.txt), for the check of what the page carries.
TEST_F(SetupTest, InstallsAUsbPrinterAndPrintsTheTestPage) {
  const std::string outputFolder =
      std::string(SETUP_BINARY_DIR) + "/setup-e2e/" + (Language() == kLanguageChinese ? "zh" : "en");
  const std::string output = outputFolder + "/test_page.ps";
  CreateDirectoryA(wine_test::DosPath(SETUP_BINARY_DIR "/setup-e2e").c_str(), nullptr);
  CreateDirectoryA(wine_test::DosPath(outputFolder).c_str(), nullptr);
  DeleteFileA(wine_test::DosPath(output).c_str());
  ASSERT_TRUE(wine_test::WriteTextFile(wine_test::DosPath(outputFolder + "/page_text.txt"), TestPageTextFor(Language())));
  ASSERT_TRUE(wine_test::MapPortToFile(kUsbPort, output));
  AtEnd unmap([] { wine_test::UnmapPort(kUsbPort); });
  wine_test::UsbPrinterInterface usb("USB\\VID_0416&PID_5011\\SETUPE2E1", kUsbPortNumber);
  ASSERT_TRUE(usb.ready());

  SetupProcess program;
  ASSERT_TRUE(program.Start(setup, wine_test::ProgramFolder()));
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, 1010);
  DWORD_PTR line = 0;
  ASSERT_TRUE(Send(list, LB_GETCURSEL, 0, 0, &line));
  // Wine hands the narrow form of a list line across processes in UTF-16; ask for that form.
  wchar_t selected[260] = {};
  DWORD_PTR length = 0;
  ASSERT_TRUE(SendMessageTimeoutW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(selected), SMTO_NORMAL, kTimeoutMs,
                                  &length));
  EXPECT_EQ(std::wstring(selected, length), L"USB009");
  ClickInstall(dialog);
  EXPECT_EQ(program.AnswerUntilEnd(), Lines{SuccessText(kModel, kUsbPort)});
  ASSERT_TRUE(program.Ended());

  EXPECT_EQ(wine_test::PrinterPort(kModel), kUsbPort);
  const std::string page = wine_test::ReadWholeFile(wine_test::DosPath(output));
  EXPECT_EQ(page.compare(0, 4, "%!PS"), 0) << "no page printed to " << output;
  EXPECT_NE(page.find(std::string("%%Title: ") + kModel), std::string::npos);
  ExpectWorkingDirectoryEmpty();
}

// Two copies share the working directory: the first to close leaves the package to the other,
// the last one empties it.
TEST_F(SetupTest, TheLastOfTwoCopiesEmptiesTheWorkingDirectory) {
  SetupProcess first;
  SetupProcess second;
  ASSERT_TRUE(first.Start(setup, wine_test::ProgramFolder()));
  ASSERT_NE(first.WaitForDialog(), nullptr);
  ASSERT_TRUE(second.Start(setup, wine_test::ProgramFolder()));
  ASSERT_NE(second.WaitForDialog(), nullptr);

  ASSERT_TRUE(first.Close());
  EXPECT_FALSE(second.Ended());
  EXPECT_EQ(MissingPackageFiles(), Lines{});
  ASSERT_TRUE(second.Close());
  ExpectWorkingDirectoryEmpty();
}

// Another program overwrites the unpacked driver files while the dialog is open (under Wine any
// program can: there is no privilege separation). The installation compares what it copied into
// the spooler's driver folder with the package it carries: nothing planted stays there, the
// copy failure is shown in a box that keeps the dialog disabled, and no printer is created.
TEST_F(SetupLanTest, DriverFilesOverwrittenWhileTheDialogIsOpenAreNeverInstalled) {
  SetupProcess program;
  HWND dialog = program.Open(setup, wine_test::ProgramFolder());
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(MissingPackageFiles(), Lines{});
  for (const std::string& file : package_files::All()) {
    ASSERT_TRUE(wine_test::WriteTextFile(WorkingDirectory() + "\\" + file, kPlanted)) << file;
  }

  InstallOnLan(dialog);
  bool dialogEnabledUnderABox = false;
  const Lines shown = program.AnswerBoxes(1, [&](const std::string&) { dialogEnabledUnderABox |= IsWindowEnabled(dialog) != FALSE; });
  EXPECT_EQ(shown, Lines{CopyFailure()});
  EXPECT_FALSE(dialogEnabledUnderABox) << "the message box is not owned by the dialog";
  EXPECT_FALSE(program.Ended());
  EXPECT_EQ(FilesHolding(wine_test::DriverDirectory(kEnvironment), kPlanted), Lines{});
  EXPECT_FALSE(wine_test::DriverRegistered(kModel, kEnvironment));
  EXPECT_EQ(wine_test::PrinterPort(kModel), "");

  ASSERT_TRUE(program.Close());
  ExpectWorkingDirectoryEmpty();
}

// A plain file holds the working directory's name, so start-up unpacks nothing, and driver files
// lie in the folder the program starts from: the install shows the copy failure, prepares no
// port and installs nothing from that folder.
TEST_F(SetupLanTest, WithoutItsWorkingDirectoryNothingFromTheStartFolderIsInstalled) {
  const std::string folder = wine_test::ScratchFolder("setup-start-folder");
  const std::string program = folder + "\\Setup.exe";
  ASSERT_TRUE(CopyFileA(setup.c_str(), program.c_str(), FALSE));
  for (const std::string& file : package_files::All()) {
    CreateDirectoryA((folder + "\\" + file.substr(0, file.find('\\'))).c_str(), nullptr);
    ASSERT_TRUE(wine_test::WriteTextFile(folder + "\\" + file, kPlanted)) << file;
  }
  wine_test::RemoveTree(WorkingDirectory());
  RemoveDirectoryA(WorkingDirectory().c_str());
  ASSERT_TRUE(wine_test::WriteTextFile(WorkingDirectory(), "a file, not a folder"));
  AtEnd restore([&] {
    DeleteFileA(WorkingDirectory().c_str());
    wine_test::RemoveTree(folder);
  });

  SetupProcess setupCopy;
  HWND dialog = setupCopy.Open(program, folder);
  ASSERT_NE(dialog, nullptr);
  InstallOnLan(dialog);
  EXPECT_EQ(setupCopy.AnswerBoxes(1), Lines{CopyFailure()});
  EXPECT_FALSE(setupCopy.Ended());
  EXPECT_EQ(FilesHolding(wine_test::DriverDirectory(kEnvironment), kPlanted), Lines{});
  EXPECT_FALSE(wine_test::DriverRegistered(kModel, kEnvironment));
  EXPECT_EQ(wine_test::PrinterPort(kModel), "");
  EXPECT_FALSE(wine_test::KeyExists(ports.PortKey()));
  ASSERT_TRUE(setupCopy.Close());
  EXPECT_EQ(wine_test::ReadWholeFile(WorkingDirectory()), "a file, not a folder");
  EXPECT_EQ(FilesHolding(folder, kPlanted).size(), package_files::All().size());
}

}  // namespace
