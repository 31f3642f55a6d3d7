// The simulated device installation functions: a list of present interfaces of the USB printer
// class with their device paths and flags, sets that are counted until destroyed, and failure
// injection for each call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_system.h"

namespace sim {

struct SimInterface {
  std::string devicePath;
  std::uint32_t flags = platform::kInterfaceActive;
  // What the size query reports instead of the true size (0: no size at all).
  std::optional<std::uint32_t> reportedSize;
  // A read that misreports: it succeeds in any buffer, fills it with as much of the path as fits
  // (unterminated when it does not fit) and reports this size as the record's.
  std::optional<std::uint32_t> sizeReportedByRead;
};

// Fault names: "SetupDiGetClassDevsA", "SetupDiEnumDeviceInterfaces",
// "SetupDiGetDeviceInterfaceDetailA size" (the query without a buffer) and
// "SetupDiGetDeviceInterfaceDetailA" (the read).
class SimDevices : public platform::IDeviceInterfaces {
 public:
  SimDevices(SimSystem& system, Faults& faults, Trace& trace);

  platform::DeviceInfoSetRef GetClassDevices(const platform::Guid& classGuid, std::uint32_t flags) override;
  bool EnumInterface(platform::DeviceInfoSetRef set, const platform::Guid& classGuid, std::uint32_t index,
                     platform::DeviceInterfaceRecord* record) override;
  bool QueryInterfaceDetailSize(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record,
                                std::uint32_t* requiredSize) override;
  bool ReadInterfaceDetail(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record,
                           std::uint8_t* detail, std::uint32_t size, std::uint32_t* requiredSize) override;
  void DestroyDeviceInfoList(platform::DeviceInfoSetRef set) override;

  // Adds a present USB printer interface.
  SimInterface& Add(const std::string& devicePath, std::uint32_t flags = platform::kInterfaceActive);

  std::vector<SimInterface> interfaces;
  int openSets = 0;

 private:
  bool Fails(const char* call);
  // The interface the record refers to, or null.
  const SimInterface* Referenced(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record);

  SimSystem& system_;
  Faults& faults_;
  Trace& trace_;
  platform::DeviceInfoSetRef set_ = 0;
  platform::DeviceInfoSetRef nextSet_ = 0x5000;
};

}  // namespace sim
