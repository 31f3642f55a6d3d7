#include "ports/port_preparation.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kTextSize = 260;

const char kSerialPortsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char kTcpIpPortsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

// The SNMP community the port monitor is given (SNMP itself stays disabled).
const char kSnmpCommunity[] = "public";

constexpr std::uint32_t kRawTcpPort = 9100;
constexpr std::uint32_t kProtocolRaw = 1;
constexpr std::uint32_t kSpoolerPauseMs = 20;

long SetText(platform::IRegistry& registry, platform::KeyRef key, const char* name, const char* text) {
  return registry.SetValue(key, name, platform::kRegSz, reinterpret_cast<const std::uint8_t*>(text),
                           static_cast<std::uint32_t>(std::strlen(text) + 1));
}

long SetDword(platform::IRegistry& registry, platform::KeyRef key, const char* name, std::uint32_t value) {
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return registry.SetValue(key, name, platform::kRegDword, data, sizeof data);
}

// The port's values before "Version", in the order the monitor's own ports have them; a failed
// write does not stop the later ones.
void WritePortValues(platform::IRegistry& registry, platform::KeyRef port, const char* address) {
  SetText(registry, port, "HostName", address);
  SetText(registry, port, "HWAddress", "");
  SetText(registry, port, "IPAddress", "");
  SetDword(registry, port, "PortMonMibPortIndex", 0);
  SetDword(registry, port, "PortNumber", kRawTcpPort);
  SetDword(registry, port, "Protocol", kProtocolRaw);
  SetText(registry, port, "SNMP Community", kSnmpCommunity);
  SetDword(registry, port, "SNMP Enabled", 0);
  SetDword(registry, port, "SNMP Index", 1);
}

// Launches the record and waits for the process to end, then lets its handle go.
void RunAndWait(platform::IShell& shell, const platform::ShellExecuteRecord& record) {
  const platform::ProcessRef process = shell.ExecuteEx(record);
  shell.WaitForProcess(process);
  shell.CloseProcess(process);
}

}  // namespace

bool SetSerialPortSettings(platform::Platform& machine, const char* portName, const char* baudText) {
  char data[kTextSize];
  std::snprintf(data, sizeof data, "%s,n,8,1,p", baudText);
  platform::RegistryKey key(*machine.registry);
  if (machine.registry->OpenKey(platform::kHkeyLocalMachine, kSerialPortsKey, platform::kKeyReadWrite,
                                key.Receive()) != 0) {
    return false;
  }
  return SetText(*machine.registry, key.Get(), portName, data) == 0;
}

void AddTcpIpPort(platform::Platform& machine, const char* address) {
  platform::IRegistry& registry = *machine.registry;
  char portName[kTextSize];
  std::snprintf(portName, sizeof portName, "IP_[%s]", address);
  platform::RegistryKey port(registry);
  {
    platform::RegistryKey ports(registry);
    if (registry.OpenKey(platform::kHkeyLocalMachine, kTcpIpPortsKey, platform::kKeyReadWrite, ports.Receive()) != 0) {
      // Without the monitor's Ports key there is no port to register; the spooler is restarted
      // all the same, as it always has been after this step.
      RestartSpooler(machine);
      return;
    }
    // A port key that cannot be created leaves the Ports key untouched, and no restart follows.
    if (registry.CreateKey(ports.Get(), portName, platform::kKeyReadWrite, port.Receive()) != 0) return;
  }
  WritePortValues(registry, port.Get(), address);
  platform::OsVersion version;
  if (!machine.system->GetVersion(&version)) return;
  SetDword(registry, port.Get(), "Version", version.major == 5 ? 1 : 2);
  port.Close();
  RestartSpooler(machine);
}

void RestartSpooler(platform::Platform& machine) {
  // The system's own net.exe by its full path: the current directory is one the user can write to.
  const std::string net = platform::SystemProgramPath(*machine.system, "net");
  if (net.empty()) return;
  platform::ShellExecuteRecord record;
  record.mask = platform::kSeeMaskNoCloseProcess;
  record.verb = "open";
  record.file = net.c_str();
  record.parameters = "stop spooler";
  record.show = platform::kShowHide;
  RunAndWait(*machine.shell, record);
  machine.system->Sleep(kSpoolerPauseMs);
  record.parameters = "start spooler";
  RunAndWait(*machine.shell, record);
}
