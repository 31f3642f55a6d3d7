// USB printer port discovery: the spooler port names (USB001, ...) of the present USB printers
// of the allowed vendors.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "ports/port_list.h"

// The size of the buffer that receives a device parameter.
constexpr std::uint32_t kUsbParameterSize = 261;

// An interface detail record as the system filled it: a 32-bit cbSize, then the device path.
struct UsbInterfaceDetail {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t size = 0;

  // The device path, ended at its NUL or at the end of the record.
  std::string DevicePath() const;
};

// Appends the port names of the present USB printer interfaces of the allowed vendors; false when
// there is no device information set or an interface's detail cannot be read.
bool EnumUsbPrinterPorts(platform::Platform& machine, CStringArray& ports);

// True when characters 8 to 15 of the device path name an allowed vendor ("vid_0416", ...),
// without regard to case.
bool IsKnownUsbVendor(const UsbInterfaceDetail& detail);

// Reads the value of the interface's registry key "<device class key>\<path>\#\<keySuffix>" into
// the kUsbParameterSize-byte buffer; true when it was read.
bool ReadUsbDeviceParameter(platform::Platform& machine, const UsbInterfaceDetail& detail, const char* keySuffix,
                            const char* valueName, std::uint8_t* buffer);
