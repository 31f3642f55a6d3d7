#include "platform/sim/sim_devices.h"

#include <algorithm>
#include <cstring>

#include "platform/types.h"

namespace sim {

namespace {

constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;

bool SameGuid(const platform::Guid& a, const platform::Guid& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
         std::memcmp(a.data4, b.data4, sizeof a.data4) == 0;
}

std::uint32_t TrueDetailSize(const SimInterface& item) {
  return platform::kDetailPathOffset + static_cast<std::uint32_t>(item.devicePath.size()) + 1;
}

std::uint32_t CbSize(const std::uint8_t* detail) {
  return static_cast<std::uint32_t>(detail[0]) | static_cast<std::uint32_t>(detail[1]) << 8 |
         static_cast<std::uint32_t>(detail[2]) << 16 | static_cast<std::uint32_t>(detail[3]) << 24;
}

}  // namespace

SimDevices::SimDevices(SimSystem& system, Faults& faults, Trace& trace)
    : system_(system), faults_(faults), trace_(trace) {}

SimInterface& SimDevices::Add(const std::string& devicePath, std::uint32_t flags) {
  SimInterface added;
  added.devicePath = devicePath;
  added.flags = flags;
  interfaces.push_back(added);
  return interfaces.back();
}

bool SimDevices::Fails(const char* call) {
  std::uint32_t error = 0;
  if (!faults_.ShouldFail(call, &error)) return false;
  system_.SetLastError(error);
  return true;
}

platform::DeviceInfoSetRef SimDevices::GetClassDevices(const platform::Guid& classGuid, std::uint32_t flags) {
  trace_.push_back("SetupDiGetClassDevsA " + std::to_string(flags));
  if (Fails("SetupDiGetClassDevsA")) return platform::kInvalidDeviceInfoSet;
  if (!SameGuid(classGuid, platform::kUsbPrinterInterfaceClass) ||
      flags != (platform::kDigcfPresent | platform::kDigcfDeviceInterface)) {
    system_.SetLastError(platform::kErrorInvalidParameter);
    return platform::kInvalidDeviceInfoSet;
  }
  set_ = nextSet_++;
  ++openSets;
  return set_;
}

bool SimDevices::EnumInterface(platform::DeviceInfoSetRef set, const platform::Guid& classGuid, std::uint32_t index,
                               platform::DeviceInterfaceRecord* record) {
  trace_.push_back("SetupDiEnumDeviceInterfaces " + std::to_string(index));
  if (Fails("SetupDiEnumDeviceInterfaces")) return false;
  if (set == 0 || set != set_) {
    system_.SetLastError(platform::kErrorInvalidHandle);
    return false;
  }
  if (record->cbSize != platform::kInterfaceRecordSize) {
    system_.SetLastError(kErrorInvalidUserBuffer);
    return false;
  }
  if (!SameGuid(classGuid, platform::kUsbPrinterInterfaceClass) || index >= interfaces.size()) {
    system_.SetLastError(platform::kErrorNoMoreItems);
    return false;
  }
  record->interfaceClass = classGuid;
  record->flags = interfaces[index].flags;
  record->reserved = index + 1;
  return true;
}

const SimInterface* SimDevices::Referenced(platform::DeviceInfoSetRef set,
                                           const platform::DeviceInterfaceRecord& record) {
  if (set == 0 || set != set_ || record.reserved == 0 || record.reserved > interfaces.size()) {
    system_.SetLastError(platform::kErrorInvalidHandle);
    return nullptr;
  }
  return &interfaces[record.reserved - 1];
}

bool SimDevices::QueryInterfaceDetailSize(platform::DeviceInfoSetRef set,
                                          const platform::DeviceInterfaceRecord& record,
                                          std::uint32_t* requiredSize) {
  trace_.push_back("SetupDiGetDeviceInterfaceDetailA size");
  if (Fails("SetupDiGetDeviceInterfaceDetailA size")) return false;
  const SimInterface* item = Referenced(set, record);
  if (item == nullptr) return false;
  const std::uint32_t size = item->reportedSize ? *item->reportedSize : TrueDetailSize(*item);
  if (size != 0) *requiredSize = size;
  // Without a buffer the query always fails, with the size to allocate.
  system_.SetLastError(platform::kErrorInsufficientBuffer);
  return false;
}

bool SimDevices::ReadInterfaceDetail(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record,
                                     std::uint8_t* detail, std::uint32_t size, std::uint32_t* requiredSize) {
  trace_.push_back("SetupDiGetDeviceInterfaceDetailA");
  if (Fails("SetupDiGetDeviceInterfaceDetailA")) return false;
  const SimInterface* item = Referenced(set, record);
  if (item == nullptr) return false;
  if (detail == nullptr || size < platform::kDetailFixedSize || CbSize(detail) != platform::kDetailFixedSize) {
    system_.SetLastError(kErrorInvalidUserBuffer);
    return false;
  }
  if (item->sizeReportedByRead) {
    const std::size_t room = size - platform::kDetailPathOffset;
    std::memcpy(detail + platform::kDetailPathOffset, item->devicePath.c_str(),
                std::min(room, item->devicePath.size() + 1));
    if (requiredSize != nullptr) *requiredSize = *item->sizeReportedByRead;
    return true;
  }
  const std::uint32_t needed = TrueDetailSize(*item);
  if (requiredSize != nullptr) *requiredSize = needed;
  if (size < needed) {
    system_.SetLastError(platform::kErrorInsufficientBuffer);
    return false;
  }
  std::memcpy(detail + platform::kDetailPathOffset, item->devicePath.c_str(), item->devicePath.size() + 1);
  return true;
}

void SimDevices::DestroyDeviceInfoList(platform::DeviceInfoSetRef set) {
  trace_.push_back("SetupDiDestroyDeviceInfoList");
  if (set != 0 && set == set_) {
    --openSets;
    set_ = 0;
  }
}

}  // namespace sim
