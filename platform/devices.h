// Present device interfaces, as the device installation functions (SetupDi...) list them.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// A device information set (HDEVINFO).
using DeviceInfoSetRef = std::uintptr_t;
// INVALID_HANDLE_VALUE: no device information set.
constexpr DeviceInfoSetRef kInvalidDeviceInfoSet = ~static_cast<DeviceInfoSetRef>(0);

// A GUID in its binary field order.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
};

// The device-interface class of USB printers, {28d78fad-5a12-11d1-ae5b-0000f803a8c2}.
constexpr Guid kUsbPrinterInterfaceClass = {0x28d78fad, 0x5a12, 0x11d1,
                                            {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

constexpr std::uint32_t kDigcfPresent = 0x02;
constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// SP_DEVICE_INTERFACE_DATA; cbSize is given in the 32-bit layout, where the record is 28 bytes.
constexpr std::uint32_t kInterfaceRecordSize = 28;
constexpr std::uint32_t kInterfaceActive = 0x1;   // SPINT_ACTIVE
constexpr std::uint32_t kInterfaceDefault = 0x2;  // SPINT_DEFAULT
constexpr std::uint32_t kInterfaceRemoved = 0x4;  // SPINT_REMOVED

struct DeviceInterfaceRecord {
  std::uint32_t cbSize = 0;
  Guid interfaceClass;
  std::uint32_t flags = 0;
  std::uintptr_t reserved = 0;  // the system's own reference to the interface
};

// SP_DEVICE_INTERFACE_DETAIL_DATA_A, laid out as the system fills it: a 32-bit cbSize at offset 0,
// then the NUL-terminated device path. cbSize is given in the 32-bit layout: the fixed part of
// 5 bytes (the size and one character).
constexpr std::uint32_t kDetailPathOffset = 4;
constexpr std::uint32_t kDetailFixedSize = 5;

class IDeviceInterfaces {
 public:
  virtual ~IDeviceInterfaces() = default;
  // SetupDiGetClassDevsA(classGuid, NULL, NULL, flags): a set, or kInvalidDeviceInfoSet.
  virtual DeviceInfoSetRef GetClassDevices(const Guid& classGuid, std::uint32_t flags) = 0;
  // SetupDiEnumDeviceInterfaces(set, NULL, classGuid, index, record): true while an interface
  // exists at the index; fills the record's class, flags and reserved reference.
  virtual bool EnumInterface(DeviceInfoSetRef set, const Guid& classGuid, std::uint32_t index,
                             DeviceInterfaceRecord* record) = 0;
  // SetupDiGetDeviceInterfaceDetailA(set, record, NULL, 0, requiredSize, NULL): the size query;
  // *requiredSize receives the detail record's size when the system reports one.
  virtual bool QueryInterfaceDetailSize(DeviceInfoSetRef set, const DeviceInterfaceRecord& record,
                                        std::uint32_t* requiredSize) = 0;
  // SetupDiGetDeviceInterfaceDetailA(set, record, detail, size, requiredSize, NULL): fills the
  // detail record of `size` bytes whose cbSize the caller has set; true on success.
  virtual bool ReadInterfaceDetail(DeviceInfoSetRef set, const DeviceInterfaceRecord& record, std::uint8_t* detail,
                                   std::uint32_t size, std::uint32_t* requiredSize) = 0;
  // SetupDiDestroyDeviceInfoList(set).
  virtual void DestroyDeviceInfoList(DeviceInfoSetRef set) = 0;
};

}  // namespace platform
