// Serial line settings, Standard TCP/IP ports and the spooler restart against a simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "ports/port_preparation.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

const char kSerialPorts[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char kTcpIpPorts[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const char kPortKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_[192.168.1.100]";
const char kNet[] = "C:\\Windows\\system32\\net.exe";

Bytes TextBytes(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes DwordBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class PortPreparationTest : public ::testing::Test {
 protected:
  // The trace lines of the registry writes, key closes and the restart's steps, in order.
  Lines Steps() const {
    Lines steps;
    for (const std::string& line : machine.trace) {
      for (const char* prefix : {"RegCreateKeyExA", "RegSetValueExA", "RegCloseKey", "ShellExecuteExA",
                                 "WaitForSingleObject", "CloseHandle", "Sleep"}) {
        if (line.rfind(prefix, 0) == 0) steps.push_back(line);
      }
    }
    return steps;
  }

  sim::SimMachine machine;
};

TEST_F(PortPreparationTest, SerialSettingsAreWrittenUnderThePortsNameAndOverwritten) {
  machine.registry.SetString(platform::kHkeyLocalMachine, kSerialPorts, "COM2:", "9600,n,8,1");
  EXPECT_TRUE(SetSerialPortSettings(machine.platform(), "COM1:", "9600"));
  EXPECT_TRUE(SetSerialPortSettings(machine.platform(), "COM1:", "115200"));
  const auto value = machine.registry.Value(platform::kHkeyLocalMachine, kSerialPorts, "COM1:");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, platform::kRegSz);
  EXPECT_EQ(value->data, TextBytes("115200,n,8,1,p"));
  EXPECT_EQ(machine.registry.Values(platform::kHkeyLocalMachine, kSerialPorts).size(), 2u);
  EXPECT_EQ(machine.TraceOf("RegOpenKeyExA"),
            (Lines{std::string("RegOpenKeyExA ") + kSerialPorts + " 131103",
                   std::string("RegOpenKeyExA ") + kSerialPorts + " 131103"}));
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
  EXPECT_TRUE(machine.shell.launches.empty());
}

TEST_F(PortPreparationTest, SerialSettingsFailWhenTheKeyIsMissingOrNotWritable) {
  EXPECT_FALSE(SetSerialPortSettings(machine.platform(), "COM1:", "9600"));
  EXPECT_FALSE(machine.registry.KeyExists(platform::kHkeyLocalMachine, kSerialPorts));

  machine.registry.CreatePath(platform::kHkeyLocalMachine, kSerialPorts);
  machine.faults.Fail("RegOpenKeyExA", platform::kErrorAccessDenied, 1);
  EXPECT_FALSE(SetSerialPortSettings(machine.platform(), "COM1:", "9600"));
  machine.faults.Fail("RegSetValueExA", platform::kErrorAccessDenied, 1);
  EXPECT_FALSE(SetSerialPortSettings(machine.platform(), "COM1:", "9600"));
  EXPECT_TRUE(machine.registry.Values(platform::kHkeyLocalMachine, kSerialPorts).empty());
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(PortPreparationTest, TcpIpPortGetsItsTenValuesThenTheSpoolerRestarts) {
  machine.registry.CreatePath(platform::kHkeyLocalMachine, kTcpIpPorts);
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  struct Expected {
    const char* name;
    std::uint32_t type;
    Bytes data;
  };
  const Expected expected[] = {
      {"HostName", platform::kRegSz, TextBytes("192.168.1.100")},
      {"HWAddress", platform::kRegSz, {0}},
      {"IPAddress", platform::kRegSz, {0}},
      {"PortMonMibPortIndex", platform::kRegDword, DwordBytes(0)},
      {"PortNumber", platform::kRegDword, {0x8c, 0x23, 0, 0}},
      {"Protocol", platform::kRegDword, DwordBytes(1)},
      {"SNMP Community", platform::kRegSz, TextBytes("public")},
      {"SNMP Enabled", platform::kRegDword, DwordBytes(0)},
      {"SNMP Index", platform::kRegDword, DwordBytes(1)},
      {"Version", platform::kRegDword, DwordBytes(2)},
  };
  const auto values = machine.registry.Values(platform::kHkeyLocalMachine, kPortKey);
  ASSERT_EQ(values.size(), 10u);
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(values[i].name, expected[i].name);
    EXPECT_EQ(values[i].type, expected[i].type) << expected[i].name;
    EXPECT_EQ(values[i].data, expected[i].data) << expected[i].name;
  }
  EXPECT_TRUE(machine.registry.Values(platform::kHkeyLocalMachine, kTcpIpPorts).empty());
  Lines steps = Steps();
  ASSERT_EQ(steps.size(), 20u);
  // The Ports key is closed once the port key is open; the port key before the restart.
  EXPECT_EQ(Lines(steps.begin(), steps.begin() + 2), (Lines{"RegCreateKeyExA IP_[192.168.1.100] 131103", "RegCloseKey"}));
  EXPECT_EQ(steps[12], "RegCloseKey");
  EXPECT_EQ(steps[13], std::string("ShellExecuteExA ") + kNet + " stop spooler");
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
  EXPECT_EQ(machine.shell.openProcesses, 0);
}

TEST_F(PortPreparationTest, AnExistingPortKeyIsReusedAndRewritten) {
  machine.registry.SetString(platform::kHkeyLocalMachine, kPortKey, "HostName", "10.0.0.1");
  machine.registry.SetDword(platform::kHkeyLocalMachine, kPortKey, "Status", 7);
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  EXPECT_EQ(machine.registry.Subkeys(platform::kHkeyLocalMachine, kTcpIpPorts), Lines{"IP_[192.168.1.100]"});
  const auto values = machine.registry.Values(platform::kHkeyLocalMachine, kPortKey);
  EXPECT_EQ(values.size(), 11u);
  EXPECT_EQ(machine.registry.Value(platform::kHkeyLocalMachine, kPortKey, "HostName")->Text(), "192.168.1.100");
  EXPECT_EQ(machine.registry.Value(platform::kHkeyLocalMachine, kPortKey, "Status")->Dword(), 7u);
  EXPECT_EQ(machine.TraceOf("ShellExecuteExA").size(), 4u);
}

TEST_F(PortPreparationTest, VersionIsOneOnlyForMajorVersionFive) {
  for (const auto& [major, expected] : {std::pair<std::uint32_t, std::uint32_t>{5, 1}, {6, 2}, {10, 2}, {4, 2}}) {
    sim::SimMachine fresh;
    fresh.registry.CreatePath(platform::kHkeyLocalMachine, kTcpIpPorts);
    fresh.system.version.major = major;
    AddTcpIpPort(fresh.platform(), "192.168.1.100");
    const auto version = fresh.registry.Value(platform::kHkeyLocalMachine, kPortKey, "Version");
    ASSERT_TRUE(version) << major;
    EXPECT_EQ(version->data, DwordBytes(expected)) << major;
  }
}

TEST_F(PortPreparationTest, FailedVersionQueryLeavesOutVersionAndRestart) {
  machine.registry.CreatePath(platform::kHkeyLocalMachine, kTcpIpPorts);
  machine.faults.Fail("GetVersionExA", platform::kErrorInvalidParameter);
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  EXPECT_EQ(machine.registry.Values(platform::kHkeyLocalMachine, kPortKey).size(), 9u);
  EXPECT_FALSE(machine.registry.Value(platform::kHkeyLocalMachine, kPortKey, "Version"));
  EXPECT_TRUE(machine.shell.launches.empty());
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(PortPreparationTest, FailedValueWriteDoesNotStopTheLaterOnes) {
  machine.registry.CreatePath(platform::kHkeyLocalMachine, kTcpIpPorts);
  machine.faults.FailAfter("RegSetValueExA", 1, platform::kErrorAccessDenied);
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  EXPECT_FALSE(machine.registry.Value(platform::kHkeyLocalMachine, kPortKey, "HWAddress"));
  EXPECT_EQ(machine.registry.Values(platform::kHkeyLocalMachine, kPortKey).size(), 9u);
  EXPECT_EQ(machine.TraceOf("ShellExecuteExA").size(), 2u);
}

TEST_F(PortPreparationTest, MissingPortsKeyWritesNothingAndStillRestartsTheSpooler) {
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  EXPECT_FALSE(machine.registry.KeyExists(platform::kHkeyLocalMachine, kTcpIpPorts));
  EXPECT_TRUE(machine.TraceOf("RegCreateKeyExA").empty());
  EXPECT_TRUE(machine.TraceOf("RegSetValueExA").empty());
  EXPECT_EQ(machine.TraceOf("ShellExecuteExA").size(), 2u);
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(PortPreparationTest, PortKeyThatCannotBeCreatedLeavesThePortsKeyAloneAndNoRestart) {
  machine.registry.CreatePath(platform::kHkeyLocalMachine, kTcpIpPorts);
  machine.faults.Fail("RegCreateKeyExA", platform::kErrorAccessDenied);
  AddTcpIpPort(machine.platform(), "192.168.1.100");
  EXPECT_TRUE(machine.registry.Values(platform::kHkeyLocalMachine, kTcpIpPorts).empty());
  EXPECT_TRUE(machine.registry.Subkeys(platform::kHkeyLocalMachine, kTcpIpPorts).empty());
  EXPECT_TRUE(machine.TraceOf("RegSetValueExA").empty());
  EXPECT_TRUE(machine.shell.launches.empty());
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(PortPreparationTest, RestartStopsWaitsPausesStartsAndWaitsWithTheSystemsNet) {
  RestartSpooler(machine.platform());
  ASSERT_EQ(machine.shell.launches.size(), 2u);
  const char* const parameters[] = {"stop spooler", "start spooler"};
  for (std::size_t i = 0; i < 2; ++i) {
    const sim::Launch& launch = machine.shell.launches[i];
    EXPECT_TRUE(launch.waitable);
    EXPECT_EQ(launch.mask, platform::kSeeMaskNoCloseProcess);
    EXPECT_EQ(launch.window, 0u);
    EXPECT_EQ(launch.verb, "open");
    EXPECT_EQ(launch.file, kNet);
    EXPECT_EQ(launch.parameters, parameters[i]);
    EXPECT_TRUE(launch.directoryNull);
    EXPECT_EQ(launch.show, platform::kShowHide);
  }
  const std::string first = std::to_string(machine.shell.launches[0].process);
  const std::string second = std::to_string(machine.shell.launches[1].process);
  EXPECT_EQ(Steps(), (Lines{std::string("ShellExecuteExA ") + kNet + " stop spooler", "WaitForSingleObject " + first,
                            "CloseHandle " + first, "Sleep 20", std::string("ShellExecuteExA ") + kNet + " start spooler",
                            "WaitForSingleObject " + second, "CloseHandle " + second}));
  EXPECT_EQ(machine.shell.openProcesses, 0);
  EXPECT_TRUE(machine.spooler.running);
}

TEST_F(PortPreparationTest, RestartGoesOnToTheStartWhenTheStopCannotBeLaunched) {
  machine.faults.Fail("ShellExecuteExA", platform::kErrorFileNotFound, 1);
  machine.spooler.running = false;
  RestartSpooler(machine.platform());
  const std::string second = std::to_string(machine.shell.launches[1].process);
  EXPECT_EQ(Steps(), (Lines{std::string("ShellExecuteExA ") + kNet + " stop spooler", "WaitForSingleObject 0",
                            "CloseHandle 0", "Sleep 20", std::string("ShellExecuteExA ") + kNet + " start spooler",
                            "WaitForSingleObject " + second, "CloseHandle " + second}));
  EXPECT_TRUE(machine.spooler.running);
}

}  // namespace
