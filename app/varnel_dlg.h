// CVarnelDlg: the installer's main dialog (template 102): the default-printer question, the
// connection panel with its port list, the labels in both languages and the install command.
#pragma once

#include <cstdint>

#include "app/controls.h"
#include "app/dialog_base.h"
#include "app/message_map.h"
#include "installer/driver_installer.h"
#include "payload/carried_package.h"
#include "payload/working_directory.h"
#include "platform/platform.h"
#include "ports/port_list.h"

// Control ids of the main dialog.
namespace dialog_ids {
constexpr int kInstall = 1;  // IDOK
constexpr int kExit = 2;     // IDCANCEL
constexpr int kDefaultNo = 1002;
constexpr int kUsb = 1006;
constexpr int kCom = 1007;
constexpr int kLpt = 1008;
constexpr int kLan = 1009;
constexpr int kPortList = 1010;
constexpr int kIpAddress = 1011;
constexpr int kIpLabel = 1012;
constexpr int kPortMessage = 1014;
constexpr int kPortHint = 1015;
constexpr int kWizardLink = 1023;
constexpr int kBaud9600 = 1024;
constexpr int kBaud19200 = 1025;
constexpr int kBaud38400 = 1026;
constexpr int kBaud115200 = 1027;
constexpr int kBaudGroup = 1028;
constexpr int kLanguageSwitch = 1033;
}  // namespace dialog_ids

constexpr int kMainDialogTemplate = 102;
constexpr int kAppIconResource = 128;
constexpr int kTitleBitmapResource = 133;

// The name every running copy of the installer marks itself with: the copies share one working
// directory, and only the last one to close empties it.
constexpr char kInstanceName[] = "Local\\PrinterDriverSetup.Quarl2020";

// Double-clicks of the language switch, program-wide; starts at 1 and is never reset.
extern std::int32_t LanguageToggleCount;

class CVarnelDlg : public CDialog {
 public:
  // Builds the installer (which reads the UI language) before any window exists.
  explicit CVarnelDlg(platform::Platform& platform);
  ~CVarnelDlg() override;

  // Sets the title and the labels of the language's column (2052 Chinese, else English).
  void ApplyLabels(std::int32_t language);
  // Rebuilds the connection panel for the chosen connection kind from a fresh enumeration.
  void RefreshPortPanel();
  // The working directory as start-up formed and entered it.
  const WorkingDirectory& Work() const { return work_; }

  // Members, in this order.
  std::uintptr_t AppIcon = 0;
  std::int32_t DefaultPrinterChoice = 0;
  std::int32_t ConnectionKind = 0;
  CListBox PortList;
  CDriverInstaller Installer;
  CButton UsbRadio;
  CIPAddressCtrl IpAddress;
  CStatic IpLabel;
  CEdit PortMessage;
  CEdit PortHint;
  std::int32_t BaudChoice = 0;
  bool InstallBusy = false;

 protected:
  void DoDataExchange(CDataExchange& exchange) override;
  bool OnInitDialog() override;
  platform::MessageResult OnMessage(const platform::DialogMessage& message) override;

 private:
  using Map = MessageMap<CVarnelDlg>;

  // Handlers of the message map.
  bool OnPaint();
  std::uintptr_t OnQueryDragIcon();
  void OnBnClickedInstall();
  void OnLbnSelchangePortList();
  bool OnDeviceChange(std::uint32_t event, const platform::DeviceEventHeader* header);
  void OnLbnDblclkPortList();
  void OnBnClickedExit();
  bool OnSetCursor(platform::WindowRef window, std::uint32_t hitTest, std::uint32_t mouseMessage);
  void OnBnClickedWizardLink();
  void OnIpnFieldchangedIpAddress(platform::IpFieldChange* change, std::intptr_t* result);
  void OnDestroy();
  void OnStnDblclkLanguageSwitch();

  // The panel for USB, COM or LPT: the kind's ports, or its no-port message.
  void ShowPortList();
  // The panel for LAN: the IP address control and its caption.
  void ShowAddressEntry();
  // Shows or hides the baud-rate group box and its buttons.
  void ShowBaudGroup(int show);
  // The ports of the chosen kind, appended to `ports`.
  void EnumeratePorts(CStringArray& ports);
  // Prepares the chosen port where the connection needs it and writes its name into `portName`.
  void PreparePort(char* portName, std::size_t size);
  // The installation of the install command, once the dialog is busy: port, driver, printer,
  // test page; the dialog ends after a success.
  void RunInstallation();
  // Prints the test page on the printer just created, in the current language.
  void PrintUsbTestPage();
  // Enables or disables the install and exit buttons, in that order.
  void EnableButtons(bool enable);

  platform::Platform& platform_;
  WorkingDirectory work_;
  // What start-up unpacked, and where; the installer installs from it only.
  CarriedDriverPackage package_;
};
