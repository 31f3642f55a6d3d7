#include "ports/serial_ports.h"

#include <cstring>
#include <string>

#include "platform/format.h"

namespace {

constexpr std::uint32_t kBufferSize = 260;
// Values passed over for not fitting the buffers, at most, before the walk ends: a key that
// answers ERROR_MORE_DATA for ever does not hold the dialog.
constexpr std::uint32_t kMostOversizedValues = 256;

const char kSerialMap[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char kParallelMap[] = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";

// The data text of a device-map value, ended at its NUL or at the end of the buffer.
std::string DataText(const std::uint8_t* data) {
  const char* text = reinterpret_cast<const char*>(data);
  return std::string(text, strnlen(text, kBufferSize));
}

std::string SerialEntry(const std::string& data) { return platform::Format("%s:", data.c_str()); }

// "LPT", the data's last character (a port number of two digits keeps its last one), ":".
std::string ParallelEntry(const std::string& data) {
  const std::string last = data.empty() ? std::string() : data.substr(data.size() - 1);
  return platform::Format("LPT%s:", last.c_str());
}

// Appends one entry per value of the device-map key, formed from the value's data. A value that
// does not fit the buffers is passed over, up to a bound; any other error ends the walk.
void EnumDeviceMap(platform::Platform& machine, const char* path, std::string (*entryOf)(const std::string&),
                   CStringArray& ports) {
  platform::RegistryKey key(*machine.registry);
  if (machine.registry->OpenKey(platform::kHkeyLocalMachine, path, platform::kKeyRead, key.Receive()) != 0) return;
  std::uint32_t oversized = 0;
  for (std::uint32_t index = 0;; ++index) {
    char name[kBufferSize];
    std::uint8_t data[kBufferSize];
    std::memset(name, 0, sizeof name);
    std::memset(data, 0, sizeof data);
    std::uint32_t nameSize = kBufferSize;
    std::uint32_t dataSize = kBufferSize;
    const long result = machine.registry->EnumValue(key.Get(), index, name, &nameSize, data, &dataSize);
    if (result == static_cast<long>(platform::kErrorMoreData)) {
      if (++oversized == kMostOversizedValues) break;
      continue;
    }
    if (result != 0) break;
    ports.push_back(entryOf(DataText(data)));
    machine.system->DebugOutput(ports.back().c_str());
  }
}

}  // namespace

void EnumSerialPorts(platform::Platform& machine, CStringArray& ports) {
  EnumDeviceMap(machine, kSerialMap, SerialEntry, ports);
}

void EnumParallelPorts(platform::Platform& machine, CStringArray& ports) {
  EnumDeviceMap(machine, kParallelMap, ParallelEntry, ports);
}
