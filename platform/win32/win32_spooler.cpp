#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

constexpr char kSpoolerLibrary[] = "winspool.drv";
constexpr WORD kSetDefaultPrinterOrdinal = 202;

// A function of winspool.drv with the type of its declaration; null when it cannot be had, and
// then the last error says so.
template <typename Function>
Function* Spool(Function*, const char* name) {
  auto function = reinterpret_cast<Function*>(reinterpret_cast<void*>(SystemFunction(kSpoolerLibrary, name)));
  if (function == nullptr) ::SetLastError(ERROR_PROC_NOT_FOUND);
  return function;
}

LPSTR Text(const char* text) { return const_cast<LPSTR>(text); }

}  // namespace

bool Spooler::GetPrinterDriverDirectory(const char* environment, char* buffer, std::uint32_t size) {
  auto function = Spool(&::GetPrinterDriverDirectoryA, "GetPrinterDriverDirectoryA");
  if (function == nullptr) return false;
  DWORD needed = 0;
  return function(nullptr, Text(environment), 1, reinterpret_cast<LPBYTE>(buffer), size, &needed) != FALSE;
}

bool Spooler::AddPrinterDriver(const platform::DriverInfo3& info) {
  auto function = Spool(&::AddPrinterDriverA, "AddPrinterDriverA");
  if (function == nullptr) return false;
  DRIVER_INFO_3A record;
  ZeroMemory(&record, sizeof record);
  record.cVersion = info.version;
  record.pName = Text(info.name);
  record.pEnvironment = Text(info.environment);
  record.pDriverPath = Text(info.driverPath);
  record.pDataFile = Text(info.dataFile);
  record.pConfigFile = Text(info.configFile);
  record.pHelpFile = Text(info.helpFile);
  record.pDependentFiles = Text(info.dependentFiles);
  record.pMonitorName = Text(info.monitorName);
  record.pDefaultDataType = Text(info.defaultDataType);
  return function(nullptr, 3, reinterpret_cast<LPBYTE>(&record)) != FALSE;
}

bool Spooler::EnumPrinterNames(std::uint32_t flags, const char* name, std::vector<std::string>* names) {
  auto function = Spool(&::EnumPrintersA, "EnumPrintersA");
  if (function == nullptr) return false;
  DWORD needed = 0;
  DWORD returned = 0;
  function(flags, Text(name), 2, nullptr, 0, &needed, &returned);
  if (needed > std::numeric_limits<DWORD>::max() - 4) return false;
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed + 4]);
  if (!buffer) return false;
  if (!function(flags, Text(name), 2, buffer.get(), needed, &needed, &returned)) return false;
  const PRINTER_INFO_2A* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.get());
  for (DWORD i = 0; i < returned; ++i) {
    names->push_back(records[i].pPrinterName == nullptr ? std::string() : std::string(records[i].pPrinterName));
  }
  return true;
}

platform::PrinterRef Spooler::AddPrinter(const platform::PrinterInfo2& info) {
  auto function = Spool(&::AddPrinterA, "AddPrinterA");
  if (function == nullptr) return 0;
  PRINTER_INFO_2A record;
  ZeroMemory(&record, sizeof record);
  record.pServerName = Text(info.serverName);
  record.pPrinterName = Text(info.printerName);
  record.pShareName = Text(info.shareName);
  record.pPortName = Text(info.portName);
  record.pDriverName = Text(info.driverName);
  record.pComment = Text(info.comment);
  record.pLocation = Text(info.location);
  record.pDevMode = nullptr;
  record.pSepFile = Text(info.sepFile);
  record.pPrintProcessor = Text(info.printProcessor);
  record.pDatatype = Text(info.datatype);
  record.pParameters = Text(info.parameters);
  record.pSecurityDescriptor = nullptr;
  record.Attributes = info.attributes;
  record.Priority = info.priority;
  record.DefaultPriority = info.defaultPriority;
  record.StartTime = info.startTime;
  record.UntilTime = info.untilTime;
  record.Status = info.status;
  record.cJobs = info.jobs;
  record.AveragePPM = info.averagePpm;
  return reinterpret_cast<platform::PrinterRef>(function(nullptr, 2, reinterpret_cast<LPBYTE>(&record)));
}

void Spooler::ClosePrinter(platform::PrinterRef printer) {
  auto function = Spool(&::ClosePrinter, "ClosePrinter");
  if (function != nullptr) function(reinterpret_cast<HANDLE>(printer));
}

void Spooler::SetDefaultPrinter(const char* name) {
  using SetDefaultPrinterFn = BOOL(WINAPI*)(LPCSTR);
  auto function = reinterpret_cast<SetDefaultPrinterFn>(
      reinterpret_cast<void*>(SystemFunctionByOrdinal(kSpoolerLibrary, kSetDefaultPrinterOrdinal)));
  if (function != nullptr) function(name);
}

void Spooler::ConfigurePort(platform::WindowRef parent, const char* port) {
  auto function = Spool(&::ConfigurePortA, "ConfigurePortA");
  if (function != nullptr) function(nullptr, reinterpret_cast<HWND>(parent), Text(port));
}

}  // namespace win32
