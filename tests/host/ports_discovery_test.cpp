// USB, serial and parallel port discovery against a simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "ports/serial_ports.h"
#include "ports/usb_ports.h"

namespace {

using Lines = std::vector<std::string>;

const char kClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const char kClassSuffix[] = "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// "\\?\usb#vid_xxxx&pid_5011#<serial>#{class}".
std::string UsbPath(const std::string& vendor, const std::string& serial) {
  return "\\\\?\\usb#" + vendor + "&pid_5011#" + serial + kClassSuffix;
}

std::string ParametersKey(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '#';
  }
  return std::string(kClassKey) + "\\" + path + "\\#\\Device Parameters";
}

class UsbPortsTest : public ::testing::Test {
 protected:
  // A present interface with its "Port Number" as a REG_DWORD.
  sim::SimInterface& AddPrinter(const std::string& path, std::uint32_t portNumber,
                                std::uint32_t flags = platform::kInterfaceActive) {
    machine.registry.SetDword(platform::kHkeyLocalMachine, ParametersKey(path), "Port Number", portNumber);
    return machine.devices.Add(path, flags);
  }

  bool Enumerate() { return EnumUsbPrinterPorts(machine.platform(), ports); }

  void ExpectEverythingReleased() {
    EXPECT_EQ(machine.devices.openSets, 0);
    EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
  }

  sim::SimMachine machine;
  CStringArray ports;
};

TEST_F(UsbPortsTest, ListsAllowedVendorsInAnyCaseWithTheirPortNumbersAndKeepsDuplicates) {
  ports = {"LPT1:"};
  AddPrinter(UsbPath("VID_0416", "0001"), 1);
  AddPrinter(UsbPath("vid_1fc9", "0002"), 99);
  AddPrinter(UsbPath("vid_1FC9", "0003"), 100);
  AddPrinter(UsbPath("vid_067b", "0004"), 257);  // only the value's first byte counts
  AddPrinter(UsbPath("vid_0483", "0005"), 9);
  AddPrinter(UsbPath("vid_0471", "0006"), 9);
  AddPrinter(UsbPath("vid_1cbe", "0007"), 12);
  EXPECT_TRUE(Enumerate());
  EXPECT_EQ(ports, (Lines{"LPT1:", "USB001", "USB099", "USB0100", "USB001", "USB009", "USB009", "USB012"}));
  // Each port is reported twice: once with "USB00%d" when read, then as listed.
  EXPECT_EQ(machine.system.debugLines,
            (Lines{"USB001", "USB001", "USB0099", "USB099", "USB00100", "USB0100", "USB001", "USB001", "USB009",
                   "USB009", "USB009", "USB009", "USB0012", "USB012"}));
  ExpectEverythingReleased();
}

TEST_F(UsbPortsTest, ReadsThePortNumberFromTheInterfacesDeviceParametersKey) {
  const std::string path = "\\\\?\\usb#vid_0416&pid_5011#0001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  machine.devices.Add(path);
  machine.registry.SetRaw(platform::kHkeyLocalMachine,
                          "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\"
                          "##?#usb#vid_0416&pid_5011#0001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters",
                          "Port Number", platform::kRegBinary, {3});
  EXPECT_TRUE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB003"});
  EXPECT_EQ(machine.TraceOf("SetupDiGetClassDevsA"), Lines{"SetupDiGetClassDevsA 18"});
  EXPECT_EQ(machine.TraceOf("RegOpenKeyExA").size(), 1u);
  EXPECT_NE(machine.TraceOf("RegOpenKeyExA")[0].find(" 131097"), std::string::npos);  // KEY_READ
}

TEST_F(UsbPortsTest, PassesOverOtherVendorsShortPathsAndInterfacesNotExactlyActiveSilently) {
  AddPrinter(UsbPath("vid_04b8", "0001"), 1);
  AddPrinter("\\\\?\\usb#vid_04", 2);  // shorter than the vendor field
  AddPrinter(UsbPath("vid_0416", "0003"), 3, platform::kInterfaceActive | platform::kInterfaceDefault);
  AddPrinter(UsbPath("vid_0416", "0004"), 4, platform::kInterfaceActive | platform::kInterfaceRemoved);
  AddPrinter(UsbPath("vid_0416", "0005"), 5, 0);
  AddPrinter(UsbPath("vid_0416", "0006"), 6);
  EXPECT_TRUE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB006"});
  EXPECT_EQ(machine.system.debugLines, (Lines{"USB006", "USB006"}));
  ExpectEverythingReleased();
}

TEST_F(UsbPortsTest, IsKnownUsbVendorLooksOnlyAtTheVendorField) {
  struct Case {
    std::string path;
    bool known;
  };
  const Case cases[] = {
      {"\\\\?\\usb#vid_0416&pid_5011#1", true}, {"\\\\?\\USB#VID_0483&PID_1#1", true},
      {"\\\\?\\usb#vid_0417&pid_5011#1", false}, {"\\\\?\\usb#vid_0416", true},
      {"\\\\?\\usb#vid_041", false},             {"", false},
      {"\\\\?\\hid#vid_0416&pid_5011#1", true},  {"\\\\?\\usb#pid_0416&vid_0416", false},
  };
  for (const Case& item : cases) {
    std::vector<std::uint8_t> record(platform::kDetailPathOffset + item.path.size() + 1, 0);
    std::copy(item.path.begin(), item.path.end(), record.begin() + platform::kDetailPathOffset);
    EXPECT_EQ(IsKnownUsbVendor(UsbInterfaceDetail{record.data(), static_cast<std::uint32_t>(record.size())}),
              item.known)
        << item.path;
  }
}

TEST_F(UsbPortsTest, DevicePathEndsAtTheRecordWhenItLacksItsNul) {
  const std::uint8_t record[] = {5, 0, 0, 0, '\\', '\\', '?', '\\', 'u', 's', 'b', '#', 'v', 'i', 'd', '_', '0', '4', '1', '6'};
  const UsbInterfaceDetail detail{record, sizeof record};
  EXPECT_EQ(detail.DevicePath(), "\\\\?\\usb#vid_0416");
  EXPECT_TRUE(IsKnownUsbVendor(detail));
}

TEST_F(UsbPortsTest, UnreadablePortNumberSkipsTheInterfaceWithDiagnostics) {
  machine.devices.Add(UsbPath("vid_0416", "0001"));  // no key
  machine.registry.CreatePath(platform::kHkeyLocalMachine, ParametersKey(UsbPath("vid_0416", "0002")));
  machine.devices.Add(UsbPath("vid_0416", "0002"));  // key without the value
  const std::string tooLong = UsbPath("vid_0416", "0003");
  machine.registry.SetRaw(platform::kHkeyLocalMachine, ParametersKey(tooLong), "Port Number", platform::kRegBinary,
                          std::vector<std::uint8_t>(262, 7));
  machine.devices.Add(tooLong);
  AddPrinter(UsbPath("vid_0416", "0004"), 4);
  EXPECT_TRUE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB004"});
  EXPECT_EQ(machine.system.debugLines, (Lines{"打开键失败", "read regkey failed", "读取键失败", "read regkey failed",
                                              "读取键失败", "read regkey failed", "USB004", "USB004"}));
  ExpectEverythingReleased();
}

TEST_F(UsbPortsTest, NoDeviceInformationSetLeavesTheListAsItWas) {
  ports = {"USB001"};
  AddPrinter(UsbPath("vid_0416", "0001"), 2);
  machine.faults.Fail("SetupDiGetClassDevsA", platform::kErrorInvalidParameter);
  EXPECT_FALSE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB001"});
  EXPECT_TRUE(machine.system.debugLines.empty());
}

TEST_F(UsbPortsTest, NoInterfaceAtAllIsSuccess) {
  EXPECT_TRUE(Enumerate());
  EXPECT_TRUE(ports.empty());
  EXPECT_EQ(machine.TraceOf("SetupDiEnumDeviceInterfaces"), Lines{"SetupDiEnumDeviceInterfaces 0"});
  ExpectEverythingReleased();
}

TEST_F(UsbPortsTest, FailedDetailReadEndsTheEnumerationKeepingEarlierPorts) {
  AddPrinter(UsbPath("vid_0416", "0001"), 1);
  AddPrinter(UsbPath("vid_0416", "0002"), 2);
  AddPrinter(UsbPath("vid_0416", "0003"), 3);
  machine.faults.FailAfter("SetupDiGetDeviceInterfaceDetailA", 1, platform::kErrorInvalidParameter);
  EXPECT_FALSE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB001"});
  EXPECT_EQ(machine.TraceOf("SetupDiEnumDeviceInterfaces").size(), 2u);
  ExpectEverythingReleased();
}

TEST_F(UsbPortsTest, InterfaceWhoseSizeQueryReportsTooLittleIsPassedOver) {
  AddPrinter(UsbPath("vid_0416", "0001"), 1).reportedSize = 0;  // no size at all
  AddPrinter(UsbPath("vid_0416", "0002"), 2).reportedSize = 4;  // less than the fixed part
  AddPrinter(UsbPath("vid_0416", "0003"), 3);
  machine.faults.FailAfter("SetupDiGetDeviceInterfaceDetailA size", 3, platform::kErrorInvalidParameter);
  AddPrinter(UsbPath("vid_0416", "0004"), 4);  // its size query fails without a size
  EXPECT_TRUE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB003"});
  EXPECT_EQ(machine.TraceOf("SetupDiGetDeviceInterfaceDetailA"),
            (Lines{"SetupDiGetDeviceInterfaceDetailA size", "SetupDiGetDeviceInterfaceDetailA size",
                   "SetupDiGetDeviceInterfaceDetailA size", "SetupDiGetDeviceInterfaceDetailA",
                   "SetupDiGetDeviceInterfaceDetailA size"}));
  ExpectEverythingReleased();
}

// The record is read within the buffer allocated after the size query, whatever size the read
// itself reports (the sanitizers catch a read past it).
TEST_F(UsbPortsTest, TheDetailIsReadWithinTheAllocatedSizeWhateverTheReadReports) {
  const std::string path = UsbPath("vid_0416", "0001");
  sim::SimInterface& cut = AddPrinter(path, 1);
  cut.reportedSize = platform::kDetailPathOffset + 16;  // the path does not fit: read unterminated
  cut.sizeReportedByRead = 4096;
  AddPrinter(UsbPath("vid_0416", "0002"), 2).sizeReportedByRead = 4096;  // fits, terminated
  EXPECT_TRUE(Enumerate());
  EXPECT_EQ(ports, Lines{"USB002"});
  ExpectEverythingReleased();
}

TEST_F(UsbPortsTest, ExaminesAtMost255MemberIndexes) {
  for (int i = 0; i < 300; ++i) AddPrinter(UsbPath("vid_0416", std::to_string(1000 + i)), i % 200);
  EXPECT_TRUE(Enumerate());
  ASSERT_EQ(ports.size(), 255u);
  EXPECT_EQ(ports[254], "USB054");
  const Lines steps = machine.TraceOf("SetupDiEnumDeviceInterfaces");
  ASSERT_EQ(steps.size(), 255u);
  EXPECT_EQ(steps.back(), "SetupDiEnumDeviceInterfaces 254");
  ExpectEverythingReleased();
}

// The serial and parallel device maps.
class DeviceMapTest : public ::testing::Test {
 protected:
  void SetSerial(const std::string& name, const std::string& data) {
    machine.registry.SetString(platform::kHkeyLocalMachine, kSerial, name, data);
  }
  void SetParallel(const std::string& name, const std::string& data) {
    machine.registry.SetString(platform::kHkeyLocalMachine, kParallel, name, data);
  }

  const char* kSerial = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
  const char* kParallel = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
  sim::SimMachine machine;
  CStringArray ports;
};

TEST_F(DeviceMapTest, SerialPortsAreTheDataWithAColonAppendedAfterExistingEntries) {
  ports = {"COM9:"};
  SetSerial("\\Device\\Serial0", "COM1");
  SetSerial("\\Device\\Serial2", "COM3");
  SetSerial("\\Device\\VCP0", "COM10");
  SetSerial("\\Device\\Empty", "");
  EnumSerialPorts(machine.platform(), ports);
  EXPECT_EQ(ports, (Lines{"COM9:", "COM1:", "COM3:", "COM10:", ":"}));
  EXPECT_EQ(machine.system.debugLines, (Lines{"COM1:", "COM3:", "COM10:", ":"}));
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(DeviceMapTest, ParallelPortsKeepOnlyTheDatasLastCharacter) {
  ports = {"LPT9:"};
  SetParallel("\\Device\\Parallel0", "\\DosDevices\\LPT2");
  SetParallel("\\Device\\Parallel1", "\\DosDevices\\LPT12");
  SetParallel("\\Device\\Parallel2", "");
  EnumParallelPorts(machine.platform(), ports);
  EXPECT_EQ(ports, (Lines{"LPT9:", "LPT2:", "LPT2:", "LPT:"}));
  EXPECT_EQ(machine.system.debugLines, (Lines{"LPT2:", "LPT2:", "LPT:"}));
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(DeviceMapTest, MissingKeysLeaveTheListUnchanged) {
  ports = {"COM1:"};
  EnumSerialPorts(machine.platform(), ports);
  EnumParallelPorts(machine.platform(), ports);
  EXPECT_EQ(ports, Lines{"COM1:"});
  EXPECT_TRUE(machine.system.debugLines.empty());
  EXPECT_EQ(machine.TraceOf("RegOpenKeyExA"),
            (Lines{"RegOpenKeyExA HARDWARE\\DEVICEMAP\\SERIALCOMM 131097",
                   "RegOpenKeyExA HARDWARE\\DEVICEMAP\\PARALLEL PORTS 131097"}));
}

TEST_F(DeviceMapTest, ValuesThatDoNotFitTheBuffersArePassedOver) {
  SetSerial(std::string(300, 'N'), "COM5");         // name too long
  SetSerial("\\Device\\Long", std::string(300, 'X'));  // data too long
  SetSerial("\\Device\\Serial0", "COM1");
  EnumSerialPorts(machine.platform(), ports);
  EXPECT_EQ(ports, Lines{"COM1:"});
}

TEST_F(DeviceMapTest, DataFillingTheWholeBufferWithoutItsNulIsReadNoFurther) {
  machine.registry.SetRaw(platform::kHkeyLocalMachine, kSerial, "\\Device\\Full", platform::kRegSz,
                          std::vector<std::uint8_t>(260, 'C'));
  EnumSerialPorts(machine.platform(), ports);
  EXPECT_EQ(ports, Lines{std::string(260, 'C') + ":"});
}

TEST_F(DeviceMapTest, AKeyThatAnswersMoreDataForEverEndsTheWalk) {
  SetSerial("\\Device\\Serial0", "COM1");
  machine.faults.Fail("RegEnumValueA", platform::kErrorMoreData);
  EnumSerialPorts(machine.platform(), ports);
  EXPECT_TRUE(ports.empty());
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

TEST_F(DeviceMapTest, AnyOtherEnumerationErrorEndsTheWalkEvenWhenItPersists) {
  SetParallel("\\Device\\Parallel0", "\\DosDevices\\LPT1");
  SetParallel("\\Device\\Parallel1", "\\DosDevices\\LPT2");
  machine.faults.FailAfter("RegEnumValueA", 1, platform::kErrorAccessDenied);
  EnumParallelPorts(machine.platform(), ports);
  EXPECT_EQ(ports, Lines{"LPT1:"});
  machine.faults.Fail("RegEnumValueA", platform::kErrorAccessDenied);
  EnumSerialPorts(machine.platform(), ports);
  EnumParallelPorts(machine.platform(), ports);
  EXPECT_EQ(ports, Lines{"LPT1:"});
  EXPECT_EQ(machine.registry.OpenKeyCount(), 0u);
}

}  // namespace
