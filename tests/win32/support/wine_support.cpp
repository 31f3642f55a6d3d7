#include "wine_support.h"

#include <winspool.h>

#include <memory>
#include <utility>

namespace wine_test {

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::vector<std::string> PrinterNames() {
  std::vector<std::string> names;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return names;
  std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.get(), needed, &needed, &count)) return names;
  auto* records = reinterpret_cast<PRINTER_INFO_2A*>(buffer.get());
  for (DWORD i = 0; i < count; ++i) names.emplace_back(records[i].pPrinterName ? records[i].pPrinterName : "");
  return names;
}

std::string PrinterPort(const std::string& name) {
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return std::string();
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::string port;
  if (needed > 0) {
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    if (GetPrinterA(printer, 2, buffer.get(), needed, &needed)) {
      auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.get());
      port = info->pPortName ? info->pPortName : "";
    }
  }
  ClosePrinter(printer);
  return port;
}

void DeletePrinters(const std::string& prefix) {
  for (const std::string& name : PrinterNames()) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &defaults)) continue;
    DeletePrinter(printer);
    ClosePrinter(printer);
  }
}

std::string DefaultPrinter() {
  char name[512] = {};
  DWORD size = sizeof name;
  return GetDefaultPrinterA(name, &size) ? std::string(name) : std::string();
}

std::string DriverDirectory(const char* environment) {
  char directory[MAX_PATH] = {};
  DWORD needed = 0;
  GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(directory),
                             sizeof directory, &needed);
  return directory;
}

const char* NativeEnvironment() {
  SYSTEM_INFO system = {};
  GetNativeSystemInfo(&system);
  return system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? "Windows x64" : "Windows NT x86";
}

bool DriverRegistered(const std::string& name, const char* environment) {
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
  if (!EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, buffer.get(), needed, &needed, &count)) {
    return false;
  }
  auto* records = reinterpret_cast<DRIVER_INFO_1A*>(buffer.get());
  for (DWORD i = 0; i < count; ++i) {
    if (records[i].pName != nullptr && name == records[i].pName) return true;
  }
  return false;
}

void DeleteDriver(const std::string& name, const char* environment) {
  DeletePrinterDriverA(nullptr, const_cast<char*>(environment), const_cast<char*>(name.c_str()));
}

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t PackageEntryTime() {
  SYSTEMTIME local = {};
  local.wYear = 2021;
  local.wMonth = 7;
  local.wDay = 28;
  local.wHour = 11;
  local.wMinute = 22;
  local.wSecond = 48;
  FILETIME localTime;
  FILETIME utc;
  SystemTimeToFileTime(&local, &localTime);
  LocalFileTimeToFileTime(&localTime, &utc);
  return FileTimeValue(utc);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

std::string ScratchFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + name;
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return names;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program = path;
  return program.substr(0, program.rfind('\\'));
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TcpIpPortsKey::TcpIpPortsKey(std::string portName) : portName_(std::move(portName)) {
  createdMonitor_ = !KeyExists(kTcpIpMonitor);
  createdPorts_ = !KeyExists(kTcpIpPorts);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTcpIpPorts, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegCloseKey(key);
  DeletePortKey();
  ready_ = !KeyExists(PortKey());
}

TcpIpPortsKey::~TcpIpPortsKey() {
  DeletePortKey();
  if (createdMonitor_) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTcpIpMonitor);
  } else if (createdPorts_) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTcpIpPorts);
  }
}

void TcpIpPortsKey::DeletePortKey() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcpIpPorts, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeA(key, portName_.c_str());
  RegCloseKey(key);
}

std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
  CloseHandle(file);
  return content;
}

std::string DosPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

namespace {
const char kSpoolerKey[] = "Software\\Wine\\Printing\\Spooler";
}  // namespace

bool MapPortToFile(const char* port, const std::string& unixPath) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != 0) {
    return false;
  }
  const LONG result = RegSetValueExA(key, port, 0, REG_SZ, reinterpret_cast<const BYTE*>(unixPath.c_str()),
                                     static_cast<DWORD>(unixPath.size() + 1));
  RegCloseKey(key);
  return result == 0;
}

void UnmapPort(const char* port) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, KEY_SET_VALUE, &key) != 0) return;
  RegDeleteValueA(key, port);
  RegCloseKey(key);
}

}  // namespace wine_test
