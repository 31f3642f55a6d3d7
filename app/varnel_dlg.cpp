#include "app/varnel_dlg.h"

#include <cstdio>
#include <cstring>

#include "app/dialog_texts.h"
#include "payload/driver_payload.h"
#include "platform/instances.h"
#include "platform/resources.h"
#include "ports/port_preparation.h"
#include "ports/serial_ports.h"
#include "ports/usb_ports.h"
#include "testpage/test_page.h"

std::int32_t LanguageToggleCount = 1;

namespace {

const int kBaudControls[] = {dialog_ids::kBaudGroup, dialog_ids::kBaud9600, dialog_ids::kBaud19200,
                             dialog_ids::kBaud38400, dialog_ids::kBaud115200};

}  // namespace

CVarnelDlg::CVarnelDlg(platform::Platform& platform)
    : CDialog(kMainDialogTemplate), Installer(platform), platform_(platform), package_(platform) {
  AppIcon = platform_.resources->LoadIconResource(kAppIconResource);
  Installer.UsePackage(&package_);
}

CVarnelDlg::~CVarnelDlg() = default;

platform::MessageResult CVarnelDlg::OnMessage(const platform::DialogMessage& message) {
  using namespace dialog_ids;
  static const Map::Entry kEntries[] = {
      Map::Message<&CVarnelDlg::OnPaint>(platform::kWmPaint),
      Map::Message<&CVarnelDlg::OnQueryDragIcon>(platform::kWmQueryDragIcon),
      Map::Command<&CVarnelDlg::OnBnClickedInstall>(kInstall, platform::kBnClicked),
      Map::Command<&CVarnelDlg::OnLbnSelchangePortList>(kPortList, platform::kLbnSelChange),
      Map::Command<&CVarnelDlg::RefreshPortPanel>(kUsb, platform::kBnClicked),
      Map::Command<&CVarnelDlg::RefreshPortPanel>(kCom, platform::kBnClicked),
      Map::Command<&CVarnelDlg::RefreshPortPanel>(kLpt, platform::kBnClicked),
      Map::Command<&CVarnelDlg::RefreshPortPanel>(kLan, platform::kBnClicked),
      Map::Message<&CVarnelDlg::OnDeviceChange>(platform::kWmDeviceChange),
      Map::Command<&CVarnelDlg::OnLbnDblclkPortList>(kPortList, platform::kLbnDblClk),
      Map::Command<&CVarnelDlg::OnBnClickedExit>(kExit, platform::kBnClicked),
      Map::Message<&CVarnelDlg::OnSetCursor>(platform::kWmSetCursor),
      Map::Command<&CVarnelDlg::OnBnClickedWizardLink>(kWizardLink, platform::kBnClicked),
      Map::Notify<&CVarnelDlg::OnIpnFieldchangedIpAddress>(kIpAddress, platform::kIpnFieldChanged),
      Map::Message<&CVarnelDlg::OnDestroy>(platform::kWmDestroy),
      Map::Command<&CVarnelDlg::OnStnDblclkLanguageSwitch>(kLanguageSwitch, platform::kStnDblClk),
  };
  return Map::Dispatch(kEntries, *this, message);
}

void CVarnelDlg::DoDataExchange(CDataExchange& exchange) {
  using namespace dialog_ids;
  DdxRadio(exchange, kDefaultNo, DefaultPrinterChoice);
  DdxRadio(exchange, kUsb, ConnectionKind);
  DdxControl(exchange, kPortList, PortList);
  DdxControl(exchange, kUsb, UsbRadio);
  DdxControl(exchange, kIpAddress, IpAddress);
  DdxControl(exchange, kIpLabel, IpLabel);
  DdxControl(exchange, kPortMessage, PortMessage);
  DdxControl(exchange, kPortHint, PortHint);
  DdxRadio(exchange, kBaud9600, BaudChoice);
}

bool CVarnelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // Every message box belongs to the dialog and keeps it disabled while it is open.
  platform_.messages->SetOwner(Window()->Window());
  Window()->SetIcon(true, AppIcon);
  Window()->SetIcon(false, AppIcon);
  ApplyLabels(Installer.UiLanguage);
  IpAddress.SetAddress(0);
  RefreshPortPanel();

  platform::DeviceInterfaceFilter filter;
  filter.size = 32;
  filter.deviceType = platform::kDbtDevtypDeviceInterface;
  filter.reserved = 0;
  filter.classGuid = platform::kUsbPrinterInterfaceClass;
  Window()->RegisterDeviceInterfaceNotification(filter);

  platform_.instances->Register(kInstanceName);
  work_ = EnterWorkingDirectory(*platform_.files);
  // The package is remembered as unpacked only when it was unpacked whole into the directory
  // entered; the language toggle later changes the texts, never the package.
  if (work_.entered && ExtractDriverPayload(platform_, work_.path, Installer.UiLanguage)) {
    package_.SetUnpacked(work_.path, DriverPayloadResource(Installer.UiLanguage));
  }
  return true;
}

void CVarnelDlg::ApplyLabels(std::int32_t language) {
  platform::IDialogWindow* window = Window();
  if (window == nullptr) return;
  window->SetTitle(kDialogTitle);
  for (std::size_t i = 0; i < kControlLabelCount; ++i) {
    window->SetControlText(kControlLabels[i].id, LabelText(kControlLabels[i], language));
  }
}

void CVarnelDlg::RefreshPortPanel() {
  platform::IDialogWindow* window = Window();
  if (window == nullptr) return;
  UpdateData(true);
  PortList.ResetContent();
  PortHint.ShowWindow(platform::kShowHide);
  ShowBaudGroup(platform::kShowHide);
  // A refresh while an installation waits on a message box leaves its buttons disabled.
  window->EnableControl(dialog_ids::kInstall, !InstallBusy);
  switch (ConnectionKind) {
    case kConnectionUsb:
    case kConnectionCom:
    case kConnectionLpt:
      ShowPortList();
      break;
    case kConnectionLan:
      ShowAddressEntry();
      break;
    default:
      break;
  }
  UpdateData(false);
}

void CVarnelDlg::ShowPortList() {
  IpAddress.SetAddress(0);
  PortList.ShowWindow(platform::kShowNormal);
  IpAddress.EnableWindow(false);
  IpLabel.ShowWindow(platform::kShowHide);
  PortMessage.ShowWindow(platform::kShowHide);

  CStringArray ports;
  EnumeratePorts(ports);
  if (ports.empty()) {
    PortMessage.SetWindowText(NoPortText(ConnectionKind, Installer.UiLanguage));
    PortList.ShowWindow(platform::kShowHide);
    PortMessage.ShowWindow(platform::kShowNormal);
    Window()->EnableControl(dialog_ids::kInstall, false);
    return;
  }
  if (ConnectionKind == kConnectionCom) ShowBaudGroup(platform::kShowNormal);
  // The list sorts what is added, but the header goes into the empty list and every port is
  // inserted at the end, so the ports keep the enumeration's order below the header.
  PortList.AddString(PortHeaderText(ConnectionKind, Installer.UiLanguage));
  for (const std::string& port : ports) PortList.InsertString(-1, port.c_str());
  PortList.SetCurSel(1);
}

void CVarnelDlg::ShowAddressEntry() {
  PortList.ShowWindow(platform::kShowHide);
  IpAddress.EnableWindow(true);
  IpLabel.ShowWindow(platform::kShowNormal);
  PortMessage.ShowWindow(platform::kShowHide);
}

void CVarnelDlg::ShowBaudGroup(int show) {
  for (int id : kBaudControls) Window()->ShowControl(id, show);
}

void CVarnelDlg::EnumeratePorts(CStringArray& ports) {
  switch (ConnectionKind) {
    case kConnectionUsb:
      EnumUsbPrinterPorts(platform_, ports);
      break;
    case kConnectionCom:
      EnumSerialPorts(platform_, ports);
      break;
    case kConnectionLpt:
      EnumParallelPorts(platform_, ports);
      break;
    default:
      break;
  }
}

// The header line is no port: a selection that lands on it moves to the first port.
void CVarnelDlg::OnLbnSelchangePortList() {
  if (PortList.GetCurSel() == 0) PortList.SetCurSel(1);
}

// Opens the system's configuration of the selected port. Without a selected line there is no
// port to configure, and nothing happens.
void CVarnelDlg::OnLbnDblclkPortList() {
  char port[platform::kTextBufferSize] = {};
  if (PortList.GetText(PortList.GetCurSel(), port, sizeof port) == platform::kLbErr) return;
  platform_.spooler->ConfigurePort(Window()->Window(), port);
}

// Only USB printer interfaces are registered for, so every interface arrival or removal is one;
// the panel follows it while USB is chosen.
bool CVarnelDlg::OnDeviceChange(std::uint32_t event, const platform::DeviceEventHeader* header) {
  if (event != platform::kDbtDeviceArrival && event != platform::kDbtDeviceRemoveComplete) return false;
  if (header == nullptr || header->deviceType != platform::kDbtDevtypDeviceInterface) return false;
  UpdateData(true);
  if (ConnectionKind == kConnectionUsb) RefreshPortPanel();
  return false;
}

// A field left blank shows 0.
void CVarnelDlg::OnIpnFieldchangedIpAddress(platform::IpFieldChange* change, std::intptr_t* result) {
  if (change->value == -1) change->value = 0;
  *result = 0;
}

// Every fifth double-click of the blank static switches the language: the fifth, the tenth, ...
void CVarnelDlg::OnStnDblclkLanguageSwitch() {
  const std::int32_t taken = LanguageToggleCount++;
  if (taken % 5 != 0) return;
  Installer.UiLanguage = Installer.UiLanguage == kLanguageChinese ? kLanguageEnglish : kLanguageChinese;
  ApplyLabels(Installer.UiLanguage);
}

void CVarnelDlg::OnBnClickedExit() {
  if (Window() != nullptr) Window()->EndDialog(platform::kIdCancel);
}

// Minimised, the dialog shows its icon centred in the client area; otherwise the system paints.
bool CVarnelDlg::OnPaint() {
  if (!Window()->IsMinimized()) return false;
  int width = 0, height = 0, iconWidth = 0, iconHeight = 0;
  Window()->ClientSize(&width, &height);
  Window()->IconMetrics(&iconWidth, &iconHeight);
  Window()->PaintIcon((width - iconWidth + 1) / 2, (height - iconHeight + 1) / 2, AppIcon);
  return true;
}

std::uintptr_t CVarnelDlg::OnQueryDragIcon() { return AppIcon; }

void CVarnelDlg::EnableButtons(bool enable) {
  Window()->EnableControl(dialog_ids::kInstall, enable);
  Window()->EnableControl(dialog_ids::kExit, enable);
}

namespace {

const char* BaudText(std::int32_t choice) {
  switch (choice) {
    case 1: return "19200";
    case 2: return "38400";
    case 3: return "115200";
    default: return "9600";
  }
}

}  // namespace

void CVarnelDlg::PreparePort(char* portName, std::size_t size) {
  if (ConnectionKind == kConnectionCom) {
    SetSerialPortSettings(platform_, portName, BaudText(BaudChoice));
    return;
  }
  if (ConnectionKind != kConnectionLan) return;
  char address[64] = {};
  std::uint32_t packed = 0;
  IpAddress.GetAddress(&packed);
  std::snprintf(address, sizeof address, "%d.%d.%d.%d", static_cast<int>(packed >> 24 & 0xFF),
                static_cast<int>(packed >> 16 & 0xFF), static_cast<int>(packed >> 8 & 0xFF),
                static_cast<int>(packed & 0xFF));
  AddTcpIpPort(platform_, address);
  std::snprintf(portName, size, "IP_[%s]", address);
}

void CVarnelDlg::PrintUsbTestPage() {
  InstallMessageSet messages{};
  messages.Fill(Installer.UiLanguage);
  const platform::BitmapRef title = platform_.resources->LoadBitmapResource(kTitleBitmapResource);
  PrintTestPage(platform_, Installer.ResultPrinterName, title, messages.TestPageText);
  platform_.resources->DeleteBitmap(title);
}

// One whole installation from the panel's state. The buttons stay disabled while it runs (message
// boxes of the installation run nested message loops) and come back whatever the outcome. A
// click that still reaches the dialog while one runs starts nothing.
void CVarnelDlg::OnBnClickedInstall() {
  if (InstallBusy) return;
  InstallBusy = true;
  EnableButtons(false);
  UpdateData(true);
  RunInstallation();
  InstallBusy = false;
  EnableButtons(true);
}

// Without an unpacked package not even the port is prepared.
void CVarnelDlg::RunInstallation() {
  if (!Installer.PackageReady()) return;
  char portName[platform::kTextBufferSize] = {};
  PortList.GetText(PortList.GetCurSel(), portName, sizeof portName);
  PreparePort(portName, sizeof portName);
  if (!Installer.InstallPrinter(DefaultPrinterChoice, portName)) return;
  if (ConnectionKind == kConnectionUsb) PrintUsbTestPage();
  Window()->EndDialog(platform::kIdCancel);
}

bool CVarnelDlg::OnSetCursor(platform::WindowRef window, std::uint32_t, std::uint32_t) {
  if (InstallBusy) {
    Window()->SetSystemCursor(platform::kIdcWait);
    return true;
  }
  if (window != 0 && window == Window()->ControlWindow(dialog_ids::kWizardLink)) {
    Window()->SetSystemCursor(platform::kIdcHand);
    return true;
  }
  return false;
}

// The system's Add Printer wizard on the package's INF for the machine's architecture, by the
// full path of the folder start-up unpacked into; without one it shows the copy failure. The
// link is created hidden and nothing shows it; this is what a shown link would run.
void CVarnelDlg::OnBnClickedWizardLink() {
  const char* inf = nullptr;
  switch (platform_.system->NativeProcessorArchitecture()) {
    case platform::kArchitectureAmd64: inf = "Windows x64\\ZNDRVx64.INF"; break;
    case platform::kArchitectureIntel: inf = "Windows NT x86\\ZNDRV.INF"; break;
    default: return;
  }
  if (!Installer.PackageReady()) return;
  // rundll32 by its full path from the system directory, never found along the search path.
  const std::string rundll32 = platform::SystemProgramPath(*platform_.system, "rundll32");
  if (rundll32.empty()) return;
  char command[1024] = {};
  std::snprintf(command, sizeof command, "printui.dll PrintUIEntry /ii /f \"%s%s\"",
                package_.UnpackedDirectory().c_str(), inf);
  platform_.shell->Execute(Window()->Window(), "open", rundll32.c_str(), command, nullptr, platform::kShowNormal);
}

// The unpacked package goes with the window, unless another copy of the installer still uses
// the shared working directory; the last copy to close empties it. Either way this copy lets go
// of the directory it has held since start-up.
void CVarnelDlg::OnDestroy() {
  platform_.messages->SetOwner(0);
  if (platform_.instances->ReleaseAndCheckLast(kInstanceName)) CleanWorkingDirectory(Installer, work_);
  ReleaseWorkingDirectory(*platform_.files, &work_);
}
