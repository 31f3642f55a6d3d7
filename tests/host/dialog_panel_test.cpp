// The connection panel of the main dialog, driven through the simulated window and machine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/varnel_dlg.h"
#include "platform/sim/sim_machine.h"

namespace {

using Lines = std::vector<std::string>;
namespace ids = dialog_ids;

const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const char kSerialMap[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char kParallelMap[] = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";

const char kUsbHeader[] = "Please select USB port:";
const char kUsbNone[] =
    "There is no <USB printer> connected to the computer! Please confirm that your USB printer is properly "
    "connected to the computer !";
const char kComHeader[] = "Please select serial port:";
const char kComNone[] = "No < serial > device was detected on the computer !";
const char kLptHeader[] = "Please select parallel port:";
const char kLptNone[] = "No device < parallel port > was detected on the computer !";

// A simulated machine with the main dialog open on it.
struct DialogBench {
  // Opens the dialog as its initialisation does: labels, a cleared address, the USB panel.
  void Open(std::uint16_t language = 1033) {
    machine.system.uiLanguage = language;
    dialog = std::make_unique<CVarnelDlg>(machine.platform());
    window = std::make_unique<sim::SimDialogWindow>(*platform::ProgramDialogTemplate(kMainDialogTemplate), *dialog);
    window->Create();
  }

  // A present USB printer interface of an allowed vendor recording the port number.
  void PlugUsbPrinter(const std::string& serial, std::uint32_t portNumber) {
    const std::string path = "\\\\?\\usb#vid_0416&pid_5011#" + serial + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    std::string key = path;
    for (char& c : key) {
      if (c == '\\') c = '#';
    }
    machine.registry.SetDword(platform::kHkeyLocalMachine, std::string(kClassKey) + "\\" + key + "\\#\\Device Parameters",
                              "Port Number", portNumber);
    machine.devices.Add(path);
  }

  void AddSerialPort(const std::string& name, const std::string& data) {
    machine.registry.SetString(platform::kHkeyLocalMachine, kSerialMap, name, data);
  }
  void AddParallelPort(const std::string& name, const std::string& data) {
    machine.registry.SetString(platform::kHkeyLocalMachine, kParallelMap, name, data);
  }

  sim::SimControl& Control(int id) { return window->Control(id); }
  bool Visible(int id) { return Control(id).visible; }
  bool Enabled(int id) { return Control(id).enabled; }

  sim::SimMachine machine;
  std::unique_ptr<CVarnelDlg> dialog;
  std::unique_ptr<sim::SimDialogWindow> window;
};

class DialogPanelTest : public ::testing::Test, public DialogBench {};

// One column of the panel's result table.
struct PanelCase {
  const char* name;
  int button;
  bool ports;
  bool listShown;
  Lines items;
  const char* message;  // null: 1014 hidden
  bool lan;
  bool baudShown;
  bool installEnabled;
};

TEST(DialogPanel, EveryConnectionKindShowsItsControls) {
  const PanelCase cases[] = {
      {"USB with ports", ids::kUsb, true, true, {kUsbHeader, "USB001", "USB003"}, nullptr, false, false, true},
      {"USB without ports", ids::kUsb, false, false, {}, kUsbNone, false, false, false},
      {"COM with ports", ids::kCom, true, true, {kComHeader, "COM3:", "COM1:"}, nullptr, false, true, true},
      {"COM without ports", ids::kCom, false, false, {}, kComNone, false, false, false},
      {"LPT with ports", ids::kLpt, true, true, {kLptHeader, "LPT1:"}, nullptr, false, false, true},
      {"LPT without ports", ids::kLpt, false, false, {}, kLptNone, false, false, false},
      {"LAN", ids::kLan, true, false, {}, nullptr, true, false, true},
      {"LAN on a machine without ports", ids::kLan, false, false, {}, nullptr, true, false, true},
  };
  for (const PanelCase& c : cases) {
    SCOPED_TRACE(c.name);
    DialogBench bench;
    if (c.ports) {
      bench.PlugUsbPrinter("0001", 1);
      bench.PlugUsbPrinter("0002", 3);
      bench.AddSerialPort("\\Device\\Serial2", "COM3");
      bench.AddSerialPort("\\Device\\Serial0", "COM1");
      bench.AddParallelPort("\\Device\\Parallel0", "\\DosDevices\\LPT1");
    }
    bench.Open();
    sim::SimDialogWindow& window = *bench.window;
    // From the COM panel to LAN with an address typed in, then the kind under test.
    ASSERT_TRUE(window.Click(ids::kCom));
    ASSERT_TRUE(window.Click(ids::kLan));
    ASSERT_TRUE(window.LeaveIpField(ids::kIpAddress, 0, 10));
    ASSERT_TRUE(window.Click(c.button));

    EXPECT_EQ(bench.Visible(ids::kPortList), c.listShown);
    EXPECT_EQ(bench.Control(ids::kPortList).items, c.items);
    EXPECT_EQ(bench.Control(ids::kPortList).selection, c.items.empty() ? -1 : 1);
    EXPECT_EQ(bench.Visible(ids::kPortMessage), c.message != nullptr);
    if (c.message != nullptr) {
      EXPECT_EQ(bench.Control(ids::kPortMessage).text, c.message);
    }
    EXPECT_TRUE(bench.Visible(ids::kIpAddress));
    EXPECT_EQ(bench.Enabled(ids::kIpAddress), c.lan);
    EXPECT_EQ(window.IpText(ids::kIpAddress), c.lan ? "10.0.0.0" : "0.0.0.0");
    EXPECT_EQ(bench.Visible(ids::kIpLabel), c.lan);
    for (int id : {ids::kBaudGroup, ids::kBaud9600, ids::kBaud19200, ids::kBaud38400, ids::kBaud115200}) {
      EXPECT_EQ(bench.Visible(id), c.baudShown) << id;
    }
    EXPECT_FALSE(bench.Visible(ids::kPortHint));
    EXPECT_EQ(bench.Enabled(ids::kInstall), c.installEnabled);
    for (int id : {1001, 1002, 1003, 1031, 1006, 1007, 1008, 1009, 2}) {
      EXPECT_TRUE(bench.Visible(id) && bench.Enabled(id)) << id;
    }
    EXPECT_EQ(bench.dialog->ConnectionKind, c.button - ids::kUsb);
    EXPECT_TRUE(bench.Control(c.button).checked);
  }
}

TEST_F(DialogPanelTest, OpeningListsTheUsbPortsWithTheDefaultChoicesSelected) {
  PlugUsbPrinter("0001", 2);
  Open();
  EXPECT_EQ(Control(ids::kPortList).items, (Lines{kUsbHeader, "USB002"}));
  EXPECT_EQ(Control(ids::kPortList).selection, 1);
  for (int id : {ids::kDefaultNo, ids::kUsb, ids::kBaud9600}) EXPECT_TRUE(Control(id).checked) << id;
  for (int id : {1003, ids::kCom, ids::kLpt, ids::kLan, ids::kBaud19200}) EXPECT_FALSE(Control(id).checked) << id;
  EXPECT_EQ(window->IpText(ids::kIpAddress), "0.0.0.0");
}

TEST_F(DialogPanelTest, PortsKeepTheEnumerationOrderAndEqualPortsAreBothListed) {
  PlugUsbPrinter("0001", 7);
  PlugUsbPrinter("0002", 2);
  PlugUsbPrinter("0003", 7);
  Open();
  EXPECT_EQ(Control(ids::kPortList).items, (Lines{kUsbHeader, "USB007", "USB002", "USB007"}));
}

TEST_F(DialogPanelTest, BaudChoiceSurvivesWhileTheBaudGroupIsHidden) {
  AddSerialPort("\\Device\\Serial0", "COM1");
  Open();
  ASSERT_TRUE(window->Click(ids::kCom));
  ASSERT_TRUE(window->Click(ids::kBaud38400));
  ASSERT_TRUE(window->Click(ids::kUsb));
  EXPECT_FALSE(Visible(ids::kBaud38400));
  EXPECT_EQ(dialog->BaudChoice, 2);
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_TRUE(Visible(ids::kBaud38400));
  EXPECT_TRUE(Control(ids::kBaud38400).checked);
  EXPECT_FALSE(Control(ids::kBaud9600).checked);
  EXPECT_EQ(dialog->BaudChoice, 2);
}

TEST_F(DialogPanelTest, AddressTypedForLanIsClearedByAnyOtherKind) {
  Open();
  ASSERT_TRUE(window->Click(ids::kLan));
  for (int field = 0; field < 4; ++field) ASSERT_TRUE(window->LeaveIpField(ids::kIpAddress, field, 192 - field));
  ASSERT_TRUE(window->Click(ids::kLan));  // choosing LAN again keeps it
  EXPECT_EQ(window->IpText(ids::kIpAddress), "192.191.190.189");
  ASSERT_TRUE(window->Click(ids::kUsb));
  ASSERT_TRUE(window->Click(ids::kLan));
  EXPECT_EQ(window->IpText(ids::kIpAddress), "0.0.0.0");
}

TEST_F(DialogPanelTest, BlankAddressFieldShowsZero) {
  Open();
  ASSERT_TRUE(window->Click(ids::kLan));
  ASSERT_TRUE(window->LeaveIpField(ids::kIpAddress, 1, 168));
  ASSERT_TRUE(window->LeaveIpField(ids::kIpAddress, 2, -1));
  EXPECT_EQ(window->IpText(ids::kIpAddress), "0.168.0.0");
}

TEST_F(DialogPanelTest, HeaderLineNeverStaysSelected) {
  AddSerialPort("\\Device\\Serial0", "COM1");
  AddSerialPort("\\Device\\Serial1", "COM2");
  Open();
  ASSERT_TRUE(window->Click(ids::kCom));
  ASSERT_TRUE(window->SelectItem(ids::kPortList, 2));
  EXPECT_EQ(Control(ids::kPortList).selection, 2);
  ASSERT_TRUE(window->SelectItem(ids::kPortList, 0));
  EXPECT_EQ(Control(ids::kPortList).selection, 1);
  // Clicking the chosen kind again rebuilds the list with the first port selected.
  ASSERT_TRUE(window->SelectItem(ids::kPortList, 2));
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_EQ(Control(ids::kPortList).selection, 1);
}

TEST_F(DialogPanelTest, DoubleClickConfiguresTheSelectedPort) {
  AddParallelPort("\\Device\\Parallel0", "\\DosDevices\\LPT1");
  AddParallelPort("\\Device\\Parallel1", "\\DosDevices\\LPT2");
  Open();
  ASSERT_TRUE(window->Click(ids::kLpt));
  const std::string before = window->Describe();
  ASSERT_TRUE(window->DoubleClickItem(ids::kPortList, 2));
  ASSERT_TRUE(window->DoubleClickItem(ids::kPortList, 0));  // the header: the first port is selected first
  EXPECT_EQ(machine.spooler.configuredPorts, (Lines{"LPT2:", "LPT1:"}));
  EXPECT_EQ(window->Describe(), before);  // no refresh afterwards
}

TEST_F(DialogPanelTest, DoubleClickWithoutASelectedLineConfiguresNothing) {
  AddParallelPort("\\Device\\Parallel0", "\\DosDevices\\LPT1");
  Open();
  ASSERT_TRUE(window->Click(ids::kLpt));
  window->ListSetCurSel(ids::kPortList, -1);
  window->Command(ids::kPortList, platform::kLbnDblClk);
  EXPECT_TRUE(machine.spooler.configuredPorts.empty());
}

TEST_F(DialogPanelTest, UsbArrivalAndRemovalRebuildTheUsbPanel) {
  Open();
  EXPECT_EQ(Control(ids::kPortMessage).text, kUsbNone);
  EXPECT_FALSE(Enabled(ids::kInstall));

  PlugUsbPrinter("0001", 1);
  EXPECT_EQ(window->DeviceEvent(platform::kDbtDeviceArrival, platform::kDbtDevtypDeviceInterface).value, 0);
  EXPECT_TRUE(Visible(ids::kPortList));
  EXPECT_EQ(Control(ids::kPortList).items, (Lines{kUsbHeader, "USB001"}));
  EXPECT_EQ(Control(ids::kPortList).selection, 1);
  EXPECT_FALSE(Visible(ids::kPortMessage));
  EXPECT_TRUE(Enabled(ids::kInstall));

  machine.devices.interfaces.clear();
  window->DeviceEvent(platform::kDbtDeviceRemoveComplete, platform::kDbtDevtypDeviceInterface);
  EXPECT_FALSE(Visible(ids::kPortList));
  EXPECT_TRUE(Visible(ids::kPortMessage));
  EXPECT_FALSE(Enabled(ids::kInstall));
}

TEST_F(DialogPanelTest, OtherDeviceEventsAndOtherKindsChangeNothing) {
  AddSerialPort("\\Device\\Serial0", "COM1");
  Open();
  PlugUsbPrinter("0001", 1);
  // Not an interface event, or not an arrival or removal: the USB panel stays as it was.
  const std::string usbPanel = window->Describe();
  EXPECT_EQ(window->DeviceEvent(platform::kDbtDeviceArrival, 2).value, 0);
  EXPECT_EQ(window->DeviceEvent(0x8001, platform::kDbtDevtypDeviceInterface).value, 0);
  EXPECT_EQ(window->Describe(), usbPanel);

  for (int kind : {ids::kCom, ids::kLan}) {
    ASSERT_TRUE(window->Click(kind));
    const std::string before = window->Describe();
    EXPECT_TRUE(window->DeviceEvent(platform::kDbtDeviceArrival, platform::kDbtDevtypDeviceInterface).handled);
    EXPECT_EQ(window->Describe(), before) << kind;
  }
}

TEST_F(DialogPanelTest, PanelTextsFollowTheLanguageAtTheNextRefresh) {
  AddSerialPort("\\Device\\Serial0", "COM1");
  Open(2052);
  EXPECT_EQ(Control(ids::kPortMessage).text, "未检测到电脑上连接有<USB打印机>! 请您确认您的USB打印机与电脑已经正确的连接 !");
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_EQ(Control(ids::kPortList).items, (Lines{"请选择以下串口端口:", "COM1:"}));
  ASSERT_TRUE(window->Click(ids::kLpt));
  EXPECT_EQ(Control(ids::kPortMessage).text, "未检测到电脑上有<并口>设备 !");

  dialog->Installer.UiLanguage = 1033;
  EXPECT_EQ(Control(ids::kPortMessage).text, "未检测到电脑上有<并口>设备 !");  // not at once
  ASSERT_TRUE(window->Click(ids::kLpt));
  EXPECT_EQ(Control(ids::kPortMessage).text, kLptNone);
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_EQ(Control(ids::kPortList).items, (Lines{kComHeader, "COM1:"}));
}

}  // namespace
