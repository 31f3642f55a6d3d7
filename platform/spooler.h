// The print spooler of the local machine (no server name on any call).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// DRIVER_INFO_3A, in its field order.
struct DriverInfo3 {
  std::uint32_t version = 0;
  const char* name = nullptr;
  const char* environment = nullptr;
  const char* driverPath = nullptr;
  const char* dataFile = nullptr;
  const char* configFile = nullptr;
  const char* helpFile = nullptr;
  const char* dependentFiles = nullptr;  // NUL-separated names ended by an empty name
  const char* monitorName = nullptr;
  const char* defaultDataType = nullptr;
};

// PRINTER_INFO_2A, in its field order (the device mode and security descriptor are always null).
struct PrinterInfo2 {
  const char* serverName = nullptr;
  const char* printerName = nullptr;
  const char* shareName = nullptr;
  const char* portName = nullptr;
  const char* driverName = nullptr;
  const char* comment = nullptr;
  const char* location = nullptr;
  const void* devMode = nullptr;
  const char* sepFile = nullptr;
  const char* printProcessor = nullptr;
  const char* datatype = nullptr;
  const char* parameters = nullptr;
  const void* securityDescriptor = nullptr;
  std::uint32_t attributes = 0;
  std::uint32_t priority = 0;
  std::uint32_t defaultPriority = 0;
  std::uint32_t startTime = 0;
  std::uint32_t untilTime = 0;
  std::uint32_t status = 0;
  std::uint32_t jobs = 0;
  std::uint32_t averagePpm = 0;
};

constexpr std::uint32_t kPrinterEnumLocal = 0x2;
constexpr std::uint32_t kPrinterEnumConnections = 0x4;
constexpr std::uint32_t kPrinterAttributeLocal = 0x40;

class ISpooler {
 public:
  virtual ~ISpooler() = default;
  // GetPrinterDriverDirectoryA(NULL, environment, 1, buffer, size, &needed); the buffer is the
  // caller's, zero-filled; the result is the call's.
  virtual bool GetPrinterDriverDirectory(const char* environment, char* buffer, std::uint32_t size) = 0;
  // AddPrinterDriverA(NULL, 3, info); nonzero on success, last error set on failure.
  virtual bool AddPrinterDriver(const DriverInfo3& info) = 0;
  // EnumPrintersA(flags, name, 2, ...) twice: a size query, then into a buffer of the needed size
  // plus 4 bytes. The printer names in the spooler's order (a null name gives ""); false when the
  // buffer cannot be had or the second call fails.
  virtual bool EnumPrinterNames(std::uint32_t flags, const char* name, std::vector<std::string>* names) = 0;
  // AddPrinterA(NULL, 2, info): the new printer's handle, or 0 with the last error set.
  virtual PrinterRef AddPrinter(const PrinterInfo2& info) = 0;
  // ClosePrinter.
  virtual void ClosePrinter(PrinterRef printer) = 0;
  // The spooler's set-default-printer operation (ordinal 202); its result is not examined.
  virtual void SetDefaultPrinter(const char* name) = 0;
  // ConfigurePortA(NULL, parent, port): the system's configuration dialog of a port, modally.
  virtual void ConfigurePort(WindowRef parent, const char* port) = 0;
};

}  // namespace platform
