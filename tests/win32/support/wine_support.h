// Helpers of the Windows tests: a message box that records instead of showing, the spooler's
// state as Wine holds it, and scratch folders under the prefix's temporary folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace wine_test {

class RecordingMessageBox : public platform::IMessageBox {
 public:
  void Show(const char* text) override { shown.emplace_back(text); }
  void SetOwner(platform::WindowRef) override {}
  std::vector<std::string> shown;
};

// GetClassNameA and GetWindowTextA of a window.
std::string ClassOf(HWND window);
std::string TextOf(HWND window);
// The names of the local printers.
std::vector<std::string> PrinterNames();
// The port of a printer, or "" when there is no such printer.
std::string PrinterPort(const std::string& name);
// Deletes every printer whose name starts with the prefix.
void DeletePrinters(const std::string& prefix);
// The default printer's name, or "".
std::string DefaultPrinter();
// The spooler's driver directory for an environment.
std::string DriverDirectory(const char* environment);
// The environment of the machine's own processor architecture (GetNativeSystemInfo): the one
// whose driver the installation registers, "Windows x64" or "Windows NT x86".
const char* NativeEnvironment();
// True when the spooler knows a driver of that name for the environment.
bool DriverRegistered(const std::string& name, const char* environment);
// Removes a driver from the spooler for an environment.
void DeleteDriver(const std::string& name, const char* environment);
// A file time as one 64-bit count of 100 ns units.
std::uint64_t FileTimeValue(const FILETIME& time);
// The DOS time of the package's entries, 2021-07-28 11:22:48 taken as local time, as the UTC
// file time Windows converts it to.
std::uint64_t PackageEntryTime();
// A fresh, empty folder under the prefix's temporary folder (ends without a backslash).
std::string ScratchFolder(const std::string& name);
// Writes a file with the text, creating nothing else.
bool WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// The names in a folder, "." and ".." left out.
std::vector<std::string> FolderEntries(const std::string& folder);
// The folder of the running test program.
std::string ProgramFolder();
// True when the key exists under HKEY_LOCAL_MACHINE.
bool KeyExists(const std::string& path);
// Deletes a folder and everything in it.
void RemoveTree(const std::string& path);
// The whole content of a file, or "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The Windows path of a Unix path, through the drive Z: that Wine maps to the root.
std::string DosPath(const std::string& unixPath);
// Sends a spooler port's output to a Unix file, as Wine's spooler reads it from the user's
// registry; UnmapPort takes the mapping away again.
bool MapPortToFile(const char* port, const std::string& unixPath);
void UnmapPort(const char* port);

const char kTcpIpMonitor[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port";
const char kTcpIpPorts[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

// The Standard TCP/IP monitor's Ports key, which Wine lacks, made where missing, without the
// port key of that name; the port key and whatever was made go again with the object.
class TcpIpPortsKey {
 public:
  explicit TcpIpPortsKey(std::string portName);
  ~TcpIpPortsKey();
  bool ready() const { return ready_; }
  std::string PortKey() const { return std::string(kTcpIpPorts) + "\\" + portName_; }

 private:
  void DeletePortKey();

  std::string portName_;
  bool createdMonitor_ = false;
  bool createdPorts_ = false;
  bool ready_ = false;
};

}  // namespace wine_test
