// Port discovery and port preparation with the Win32 back-end, against Wine's registry, device
// registry and shell.
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "installer/driver_installer.h"
#include "platform/win32/win32_services.h"
#include "ports/port_preparation.h"
#include "ports/serial_ports.h"
#include "ports/usb_ports.h"
#include "usb_printer_interface.h"
#include "wine_support.h"

namespace {

using Lines = std::vector<std::string>;

const char kSerialPorts[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char kPortName[] = "IP_[192.168.1.100]";
using wine_test::KeyExists;
using wine_test::ProgramFolder;
using wine_test::kDeviceClasses;
using wine_test::UsbPrinterInterface;

struct RawValue {
  bool found = false;
  DWORD type = 0;
  std::vector<BYTE> data;
};

RawValue ReadValue(const char* path, const char* name) {
  RawValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  BYTE data[1024];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &value.type, data, &size) == ERROR_SUCCESS) {
    value.found = true;
    value.data.assign(data, data + size);
  }
  RegCloseKey(key);
  return value;
}

std::vector<BYTE> Text(const std::string& text) {
  std::vector<BYTE> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

std::vector<BYTE> Dword(DWORD value) {
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

bool SpoolerRunning() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return false;
  SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS);
  SERVICE_STATUS status = {};
  const bool running = service != nullptr && QueryServiceStatus(service, &status) &&
                       status.dwCurrentState == SERVICE_RUNNING;
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return running;
}

// The real shell, with a record of what the logic asked of it.
class RecordingShell : public platform::IShell {
 public:
  void Execute(platform::WindowRef window, const char* verb, const char* file, const char* parameters,
               const char* directory, int show) override {
    calls.push_back(std::string("Execute ") + file + " " + parameters);
    real.Execute(window, verb, file, parameters, directory, show);
  }
  platform::ProcessRef ExecuteEx(const platform::ShellExecuteRecord& record) override {
    const platform::ProcessRef process = real.ExecuteEx(record);
    calls.push_back(std::string("ExecuteEx ") + record.file + " " + record.parameters + (process ? "" : " (none)"));
    return process;
  }
  void WaitForProcess(platform::ProcessRef process) override {
    real.WaitForProcess(process);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code);
    calls.push_back(code == STILL_ACTIVE ? "Wait (still running)" : "Wait (ended)");
  }
  void CloseProcess(platform::ProcessRef process) override {
    real.CloseProcess(process);
    // A closed handle no longer names the process.
    DWORD code = 0;
    calls.push_back(GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code) ? "Close (still open)" : "Close");
  }

  win32::Shell real;
  Lines calls;
};

class WinePortsTest : public ::testing::Test {
 protected:
  void SetUp() override { machine = win32::MachinePlatform(); }

  platform::Platform machine;
};

TEST_F(WinePortsTest, SerialSettingsAreWrittenUnderTheRealPortsKey) {
  const RawValue before = ReadValue(kSerialPorts, "COM1:");
  EXPECT_TRUE(SetSerialPortSettings(machine, "COM1:", "9600"));
  RawValue value = ReadValue(kSerialPorts, "COM1:");
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.data, Text("9600,n,8,1,p"));
  EXPECT_TRUE(SetSerialPortSettings(machine, "COM1:", "115200"));
  EXPECT_EQ(ReadValue(kSerialPorts, "COM1:").data, Text("115200,n,8,1,p"));

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialPorts, 0, KEY_WRITE, &key), ERROR_SUCCESS);
  if (before.found) {
    RegSetValueExA(key, "COM1:", 0, before.type, before.data.data(), static_cast<DWORD>(before.data.size()));
  } else {
    RegDeleteValueA(key, "COM1:");
  }
  RegCloseKey(key);
}

class WineTcpIpPortTest : public WinePortsTest {
 protected:
  void SetUp() override {
    WinePortsTest::SetUp();
    ASSERT_TRUE(ports.ready());
    shell.calls.clear();
    machine.shell = &shell;
  }

  std::string PortKey() const { return ports.PortKey(); }

  wine_test::TcpIpPortsKey ports{kPortName};
  RecordingShell shell;
};

TEST_F(WineTcpIpPortTest, PortKeyGetsItsTenValuesAndIsRewrittenOnASecondCall) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  const DWORD expectedVersion = version.dwMajorVersion == 5 ? 1 : 2;
  struct Expected {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
  };
  const Expected expected[] = {
      {"HostName", REG_SZ, Text("192.168.1.100")}, {"HWAddress", REG_SZ, Text("")},
      {"IPAddress", REG_SZ, Text("")},             {"PortMonMibPortIndex", REG_DWORD, Dword(0)},
      {"PortNumber", REG_DWORD, Dword(9100)},      {"Protocol", REG_DWORD, Dword(1)},
      {"SNMP Community", REG_SZ, Text("public")},  {"SNMP Enabled", REG_DWORD, Dword(0)},
      {"SNMP Index", REG_DWORD, Dword(1)},         {"Version", REG_DWORD, Dword(expectedVersion)},
  };
  for (int round = 0; round < 2; ++round) {
    AddTcpIpPort(machine, "192.168.1.100");
    const std::string key = PortKey();
    for (const Expected& item : expected) {
      const RawValue value = ReadValue(key.c_str(), item.name);
      EXPECT_TRUE(value.found) << item.name;
      EXPECT_EQ(value.type, item.type) << item.name;
      EXPECT_EQ(value.data, item.data) << item.name;
    }
    // Spoil two values; the second call puts them right again.
    HKEY port = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_WRITE, &port), ERROR_SUCCESS);
    const DWORD other = 1;
    RegSetValueExA(port, "PortNumber", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&other), sizeof other);
    RegSetValueExA(port, "HostName", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(port);
  }
  EXPECT_EQ(shell.calls.size(), 12u);
}

TEST_F(WineTcpIpPortTest, RestartRunsWinesNetTwiceInOrderAndReturns) {
  RestartSpooler(machine);
  const std::string net = platform::SystemProgramPath(*machine.system, "net");
  EXPECT_EQ(shell.calls, (Lines{"ExecuteEx " + net + " stop spooler", "Wait (ended)", "Close",
                                "ExecuteEx " + net + " start spooler", "Wait (ended)", "Close"}));
  EXPECT_TRUE(SpoolerRunning());
}

TEST(WinePlantedNetTest, OnlyTheSystemsNetRuns) {
  const std::string fake = ProgramFolder() + "\\fake-net\\net.exe";
  ASSERT_TRUE(wine_test::FileExists(fake)) << fake;
  const std::string work = wine_test::ScratchFolder("ports-planted-net");
  const std::string besideProgram = ProgramFolder() + "\\net.exe";
  const std::string inWork = work + "\\net.exe";
  ASSERT_TRUE(CopyFileA(fake.c_str(), besideProgram.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(fake.c_str(), inWork.c_str(), FALSE));
  const std::string marks[] = {ProgramFolder() + "\\net-ran.mark", work + "\\net-ran.mark"};
  for (const std::string& mark : marks) DeleteFileA(mark.c_str());

  // The planted program does leave its mark when it is run.
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + inWork + "\" stop spooler";
  ASSERT_TRUE(CreateProcessA(inWork.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_TRUE(wine_test::FileExists(marks[1]));
  DeleteFileA(marks[1].c_str());

  ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));
  platform::Platform machine = win32::MachinePlatform();
  wine_test::RecordingMessageBox messages;
  machine.messages = &messages;
  RestartSpooler(machine);
  { CDriverInstaller installer(machine); }
  Sleep(1000);  // the constructor's launch is not waited for
  SetCurrentDirectoryA("C:\\");
  for (const std::string& mark : marks) EXPECT_FALSE(wine_test::FileExists(mark)) << mark;

  for (const std::string& mark : marks) DeleteFileA(mark.c_str());
  DeleteFileA(besideProgram.c_str());
  wine_test::RemoveTree(work);
}

TEST_F(WinePortsTest, SerialPortsAreWhatTheSerialDeviceMapHolds) {
  Lines expected;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    for (DWORD index = 0;; ++index) {
      char name[260];
      BYTE data[260] = {};
      DWORD nameSize = sizeof name;
      DWORD dataSize = sizeof data;
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, data, &dataSize) != ERROR_SUCCESS) break;
      expected.push_back(std::string(reinterpret_cast<char*>(data)) + ":");
    }
    RegCloseKey(key);
  }
  EXPECT_FALSE(expected.empty()) << "Wine's serial device map is empty";
  CStringArray ports = {"LPT1:"};
  EnumSerialPorts(machine, ports);
  expected.insert(expected.begin(), "LPT1:");
  EXPECT_EQ(ports, expected);
}

TEST_F(WinePortsTest, UsbPrintersOfAllowedVendorsAreListed) {
  std::string allowedPath;
  std::string otherPath;
  {
    UsbPrinterInterface allowed("USB\\VID_0416&PID_5011\\PORTSTEST1", 7);
    UsbPrinterInterface other("USB\\VID_04B8&PID_0202\\PORTSTEST2", 8);
    ASSERT_TRUE(allowed.ready());
    ASSERT_TRUE(other.ready());
    allowedPath = allowed.path();
    otherPath = other.path();
    CStringArray ports = {"USB001"};
    EXPECT_TRUE(EnumUsbPrinterPorts(machine, ports));
    EXPECT_EQ(ports, (Lines{"USB001", "USB007"})) << allowedPath << " " << otherPath;
  }
  for (const std::string& path : {allowedPath, otherPath}) {
    std::string keyPath = path;
    for (char& c : keyPath) {
      if (c == '\\') c = '#';
    }
    EXPECT_FALSE(KeyExists(std::string(kDeviceClasses) + "\\" + keyPath)) << path;
  }
  CStringArray after;
  EXPECT_TRUE(EnumUsbPrinterPorts(machine, after));
  EXPECT_TRUE(after.empty());
}

}  // namespace
