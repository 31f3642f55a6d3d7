#include "ports/usb_ports.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/devices.h"
#include "platform/format.h"

namespace {

// Member indexes 0 to 254 are examined, no more.
constexpr std::uint32_t kMaxInterfaces = 255;

const char* const kAllowedVendors[] = {"vid_067b", "vid_0416", "vid_1cbe", "vid_0483", "vid_0471", "vid_1FC9"};
constexpr std::size_t kVendorOffset = 8;
constexpr std::size_t kVendorLength = 8;

const char kDeviceClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

void PutLittleEndian32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

enum class Step { Next, DetailFailed };

// Reads one active interface's detail and appends its port when its vendor is allowed and its
// port number can be read. A size query that reports less than the record's fixed part (or
// nothing) passes the interface over. The record is read within what was allocated for it,
// whatever size the read reports afterwards.
Step ExamineInterface(platform::Platform& machine, platform::DeviceInfoSetRef set,
                      const platform::DeviceInterfaceRecord& record, CStringArray& ports) {
  platform::IDeviceInterfaces& devices = *machine.devices;
  std::uint32_t required = 0;
  devices.QueryInterfaceDetailSize(set, record, &required);
  if (required < platform::kDetailFixedSize) return Step::Next;
  const std::uint32_t allocated = required;
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[allocated]());
  if (!bytes) return Step::Next;
  PutLittleEndian32(bytes.get(), platform::kDetailFixedSize);
  if (!devices.ReadInterfaceDetail(set, record, bytes.get(), allocated, &required)) return Step::DetailFailed;
  const UsbInterfaceDetail detail{bytes.get(), allocated};
  if (!IsKnownUsbVendor(detail)) return Step::Next;
  std::uint8_t portNumber[kUsbParameterSize];
  std::memset(portNumber, 0, sizeof portNumber);
  if (!ReadUsbDeviceParameter(machine, detail, "Device Parameters", "Port Number", portNumber)) {
    machine.system->DebugOutput("read regkey failed");
    return Step::Next;
  }
  ports.push_back(platform::Format("USB0%02d", portNumber[0]));
  machine.system->DebugOutput(ports.back().c_str());
  return Step::Next;
}

}  // namespace

std::string UsbInterfaceDetail::DevicePath() const {
  if (bytes == nullptr || size <= platform::kDetailPathOffset) return std::string();
  const char* path = reinterpret_cast<const char*>(bytes + platform::kDetailPathOffset);
  return std::string(path, strnlen(path, size - platform::kDetailPathOffset));
}

bool EnumUsbPrinterPorts(platform::Platform& machine, CStringArray& ports) {
  platform::IDeviceInterfaces& devices = *machine.devices;
  const platform::DeviceInfoSetRef set = devices.GetClassDevices(
      platform::kUsbPrinterInterfaceClass, platform::kDigcfPresent | platform::kDigcfDeviceInterface);
  if (set == platform::kInvalidDeviceInfoSet) return false;
  platform::DeviceInterfaceRecord record;
  record.cbSize = platform::kInterfaceRecordSize;
  bool success = true;
  for (std::uint32_t index = 0; index < kMaxInterfaces; ++index) {
    if (!devices.EnumInterface(set, platform::kUsbPrinterInterfaceClass, index, &record)) break;
    if (record.flags != platform::kInterfaceActive) continue;
    if (ExamineInterface(machine, set, record, ports) == Step::DetailFailed) {
      success = false;
      break;
    }
  }
  devices.DestroyDeviceInfoList(set);
  return success;
}

bool IsKnownUsbVendor(const UsbInterfaceDetail& detail) {
  const std::string path = detail.DevicePath();
  if (path.size() < kVendorOffset + kVendorLength) return false;
  const std::string vendor = path.substr(kVendorOffset, kVendorLength);
  for (const char* allowed : kAllowedVendors) {
    if (EqualIgnoringAsciiCase(vendor, allowed)) return true;
  }
  return false;
}

bool ReadUsbDeviceParameter(platform::Platform& machine, const UsbInterfaceDetail& detail, const char* keySuffix,
                            const char* valueName, std::uint8_t* buffer) {
  std::string path = detail.DevicePath();
  for (char& c : path) {
    if (c == '\\') c = '#';
  }
  const std::string keyPath = kDeviceClassKey + path + "\\#\\" + keySuffix;
  platform::RegistryKey key(*machine.registry);
  if (machine.registry->OpenKey(platform::kHkeyLocalMachine, keyPath.c_str(), platform::kKeyRead, key.Receive()) != 0) {
    machine.system->DebugOutput("打开键失败");
    return false;
  }
  std::uint32_t type = 0;
  std::uint32_t size = kUsbParameterSize;
  if (machine.registry->QueryValue(key.Get(), valueName, &type, buffer, &size) != 0) {
    machine.system->DebugOutput("读取键失败");
    return false;
  }
  machine.system->DebugOutput(platform::Format("USB00%d", buffer[0]).c_str());
  return true;
}
