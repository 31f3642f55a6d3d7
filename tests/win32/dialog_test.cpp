// The main dialog as a real window under Wine: made from template 102 of this program, its
// controls checked against the template, its panel driven with real button clicks, and a
// screenshot of it kept in the build folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/dialog_texts.h"
#include "app/varnel_dlg.h"
#include "platform/win32/win32_services.h"
#include "ports/serial_ports.h"
#include "ports/usb_ports.h"
#include "usb_printer_interface.h"
#include "wine_support.h"

namespace {

namespace ids = dialog_ids;
using Lines = std::vector<std::string>;

constexpr UINT kRunScript = WM_APP + 1;
constexpr INT_PTR kEndedByScript = 7;
constexpr INT_PTR kGaveUp = 8;

// Ends a modal run that a script left to end by itself and that did not.
VOID CALLBACK GiveUp(HWND dialog, UINT, UINT_PTR, DWORD) { ::EndDialog(dialog, kGaveUp); }

// The main dialog with a test script that runs inside the modal run, once the window is shown.
// Unless the script leaves the dialog to end by itself, the run ends right after the script.
class ScriptedDialog : public CVarnelDlg {
 public:
  ScriptedDialog(platform::Platform& machine, std::function<void(HWND)> script, bool endAfterScript = true)
      : CVarnelDlg(machine), script_(std::move(script)), endAfterScript_(endAfterScript) {}

  bool sawClose = false;  // WM_CLOSE reached the dialog's logic

 protected:
  bool OnInitDialog() override {
    CVarnelDlg::OnInitDialog();
    PostMessageA(reinterpret_cast<HWND>(Window()->Window()), kRunScript, 0, 0);
    return true;
  }
  platform::MessageResult OnMessage(const platform::DialogMessage& message) override {
    if (message.message == WM_CLOSE) sawClose = true;
    if (message.message != kRunScript) return CVarnelDlg::OnMessage(message);
    HWND dialog = reinterpret_cast<HWND>(Window()->Window());
    script_(dialog);
    if (endAfterScript_) {
      ::EndDialog(dialog, kEndedByScript);
    } else {
      SetTimer(dialog, 1, 10000, GiveUp);
    }
    return {true, 0};
  }

 private:
  std::function<void(HWND)> script_;
  bool endAfterScript_;
};

Lines ListItems(HWND list) {
  Lines items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[260] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

bool Visible(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

class WineDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine = win32::MachinePlatform();
    machine.messages = &messages;
    ASSERT_NE(platform::ProgramDialogTemplate(kMainDialogTemplate), nullptr);
  }

  // Runs the main dialog modally with the script; false when the dialog could not be made.
  bool Run(std::function<void(HWND)> script) {
    ScriptedDialog dialog(machine, std::move(script));
    language = dialog.Installer.UiLanguage;
    return dialog.DoModal(*machine.dialogs) == kEndedByScript;
  }

  platform::Platform machine;
  wine_test::RecordingMessageBox messages;
  std::int32_t language = 0;
};

// The class name, id, styles and text of every control, as the template and the labels say.
TEST_F(WineDialogTest, ControlsAreTheTemplates) {
  const platform::DialogTemplate& dialog = *platform::ProgramDialogTemplate(kMainDialogTemplate);
  ASSERT_TRUE(Run([&](HWND window) {
    EXPECT_EQ(wine_test::TextOf(window), "Printer Driver Setup V1.23");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    HWND child = GetWindow(window, GW_CHILD);
    for (std::size_t i = 0; i < dialog.controlCount; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
      const platform::ControlTemplate& control = dialog.controls[i];
      SCOPED_TRACE(control.id);
      ASSERT_NE(child, nullptr);
      EXPECT_EQ(GetDlgCtrlID(child), control.id);
      EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, wine_test::ClassOf(child).c_str(), -1, control.className, -1),
                CSTR_EQUAL)
          << wine_test::ClassOf(child);
      // The panel shows and hides controls and enables the IP address control; the system moves
      // the tab stop to the checked radio button, shows the list's scroll bar only when it is
      // needed and draws the list's border as a client edge. Every other style bit is the template's.
      DWORD changing = WS_VISIBLE | WS_DISABLED;
      if (platform::IsRadioButton(control)) changing |= WS_TABSTOP;
      if (control.id == ids::kPortList) changing |= WS_VSCROLL | WS_BORDER;
      const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
      const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
      EXPECT_EQ(style & ~changing, control.style & ~changing) << std::hex << style;
      EXPECT_EQ(exStyle & control.exStyle, control.exStyle) << std::hex << exStyle;
      if (control.id == ids::kPortList) {
        EXPECT_TRUE((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE));
      }
      const ControlLabel* label = nullptr;
      for (std::size_t l = 0; l < kControlLabelCount; ++l) {
        if (kControlLabels[l].id == control.id) label = &kControlLabels[l];
      }
      if (label != nullptr) {
        EXPECT_EQ(wine_test::TextOf(child), LabelText(*label, language));
      } else if (control.text != nullptr && control.id != ids::kPortMessage) {
        EXPECT_EQ(wine_test::TextOf(child), control.text);
      }
    }
    // Created hidden, and nothing shows them.
    EXPECT_FALSE(Visible(window, ids::kWizardLink));
    EXPECT_FALSE(Visible(window, 1032));
    EXPECT_FALSE(Enabled(window, 1032));
    EXPECT_TRUE(Visible(window, ids::kLanguageSwitch));
  }));
}

// Each connection kind after a click of its button, with the ports the machine really has.
TEST_F(WineDialogTest, ClicksRebuildThePanelForEachKind) {
  HKEY serial = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &serial, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(serial, "DialogTestSerial", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM7"), 5);
  struct Kind {
    int button;
    std::int32_t kind;
  };
  const Kind kinds[] = {{ids::kCom, kConnectionCom}, {ids::kUsb, kConnectionUsb}, {ids::kLpt, kConnectionLpt},
                        {ids::kLan, kConnectionLan}};
  ASSERT_TRUE(Run([&](HWND window) {
    for (const Kind& k : kinds) {
      SCOPED_TRACE(k.button);
      SendMessageA(GetDlgItem(window, ids::kIpAddress), IPM_SETADDRESS, 0, MAKEIPADDRESS(10, 1, 2, 3));
      SendMessageA(GetDlgItem(window, k.button), BM_CLICK, 0, 0);
      EXPECT_EQ(SendMessageA(GetDlgItem(window, k.button), BM_GETCHECK, 0, 0), BST_CHECKED);

      CStringArray ports;
      if (k.kind == kConnectionUsb) EnumUsbPrinterPorts(machine, ports);
      if (k.kind == kConnectionCom) EnumSerialPorts(machine, ports);
      if (k.kind == kConnectionLpt) EnumParallelPorts(machine, ports);
      const bool lan = k.kind == kConnectionLan;
      const bool listed = !lan && !ports.empty();
      Lines expected;
      if (listed) {
        expected.push_back(PortHeaderText(k.kind, language));
        expected.insert(expected.end(), ports.begin(), ports.end());
      }
      HWND list = GetDlgItem(window, ids::kPortList);
      EXPECT_EQ(ListItems(list), expected);
      EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), listed ? 1 : LB_ERR);
      EXPECT_EQ(Visible(window, ids::kPortList), listed);
      EXPECT_EQ(Visible(window, ids::kPortMessage), !lan && !listed);
      if (!lan && !listed) {
        EXPECT_EQ(wine_test::TextOf(GetDlgItem(window, ids::kPortMessage)), NoPortText(k.kind, language));
      }
      DWORD address = 0;
      SendMessageA(GetDlgItem(window, ids::kIpAddress), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
      EXPECT_EQ(address, lan ? MAKEIPADDRESS(10, 1, 2, 3) : 0u);
      EXPECT_EQ(Enabled(window, ids::kIpAddress), lan);
      EXPECT_EQ(Visible(window, ids::kIpLabel), lan);
      EXPECT_EQ(Visible(window, ids::kBaud38400), k.kind == kConnectionCom && listed);
      EXPECT_EQ(Visible(window, ids::kBaudGroup), k.kind == kConnectionCom && listed);
      EXPECT_FALSE(Visible(window, ids::kPortHint));
      EXPECT_EQ(Enabled(window, ids::kInstall), lan || listed);
      if (k.kind == kConnectionCom) {
        EXPECT_NE(std::find(ports.begin(), ports.end(), "COM7:"), ports.end());
        // The header line gives the selection back to the first port.
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(ids::kPortList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
      }
    }
    // A blank address field becomes 0 in the notification record the control reads back.
    NMIPADDRESS change = {};
    change.hdr.hwndFrom = GetDlgItem(window, ids::kIpAddress);
    change.hdr.idFrom = ids::kIpAddress;
    change.hdr.code = IPN_FIELDCHANGED;
    change.iField = 2;
    change.iValue = -1;
    SendMessageA(window, WM_NOTIFY, ids::kIpAddress, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(change.iValue, 0);
    EXPECT_EQ(GetWindowLongPtrA(window, DWLP_MSGRESULT), 0);
  }));
  RegDeleteValueA(serial, "DialogTestSerial");
  RegCloseKey(serial);
}

// What the system sends when a USB printer interface comes or goes.
void SendInterfaceEvent(HWND dialog, WPARAM event) {
  DEV_BROADCAST_DEVICEINTERFACE_A broadcast = {};
  broadcast.dbcc_size = sizeof broadcast;
  broadcast.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  broadcast.dbcc_classguid = wine_test::kUsbPrinterClass;
  EXPECT_EQ(SendMessageA(dialog, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&broadcast)), FALSE);
}

TEST_F(WineDialogTest, PluggingAUsbPrinterInRebuildsTheUsbPanel) {
  ASSERT_TRUE(Run([&](HWND window) {
    HWND list = GetDlgItem(window, ids::kPortList);
    CStringArray before;
    EnumUsbPrinterPorts(machine, before);
    {
      wine_test::UsbPrinterInterface printer("USB\\VID_0416&PID_5011\\DIALOGTEST1", 5);
      ASSERT_TRUE(printer.ready());
      SendInterfaceEvent(window, DBT_DEVICEARRIVAL);
      Lines expected = {PortHeaderText(kConnectionUsb, language)};
      expected.insert(expected.end(), before.begin(), before.end());
      expected.push_back("USB005");
      EXPECT_EQ(ListItems(list), expected);
      EXPECT_TRUE(Visible(window, ids::kPortList));
      EXPECT_TRUE(Enabled(window, ids::kInstall));
      // While another kind is chosen, the panel stays as it is.
      SendMessageA(GetDlgItem(window, ids::kLan), BM_CLICK, 0, 0);
    }
    SendInterfaceEvent(window, DBT_DEVICEREMOVECOMPLETE);
    EXPECT_TRUE(Visible(window, ids::kIpLabel));
    SendMessageA(GetDlgItem(window, ids::kUsb), BM_CLICK, 0, 0);
    Lines expected;
    if (!before.empty()) expected.push_back(PortHeaderText(kConnectionUsb, language));
    expected.insert(expected.end(), before.begin(), before.end());
    EXPECT_EQ(ListItems(list), expected);
  }));
}

// The close box and the Escape key, as the system delivers them: the close box's WM_CLOSE goes
// through the dialog's logic to the system's default handling, which turns it into IDCANCEL, as
// the dialog manager does with Escape; either ends the run with IDCANCEL.
TEST_F(WineDialogTest, TheCloseBoxAndEscapeEndTheDialog) {
  const struct {
    const char* name;
    bool close;
    std::function<void(HWND)> action;
  } cases[] = {
      {"close box", true, [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"escape", false,
       [](HWND window) {
         HWND list = GetDlgItem(window, ids::kPortList);
         PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         PostMessageA(list, WM_KEYUP, VK_ESCAPE, 0xC0010001);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedDialog dialog(machine, c.action, false);
    EXPECT_EQ(dialog.DoModal(*machine.dialogs), IDCANCEL);
    EXPECT_EQ(dialog.sawClose, c.close);
  }
}

// A picture of the dialog in the language of this run, for a person to look at:
// screenshots/dialog-<language>.png in the build folder.
TEST_F(WineDialogTest, Screenshot) {
  const std::string folder = std::string(SETUP_BINARY_DIR) + "/screenshots";
  ASSERT_TRUE(Run([&](HWND window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SendMessageA(GetDlgItem(window, ids::kCom), BM_CLICK, 0, 0);
    UpdateWindow(window);
    for (int i = 0; i < 20; ++i) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      Sleep(25);
    }
    const std::string command = "Z:\\bin\\sh -c \"mkdir -p '" + folder + "' && xwd -root -silent | convert xwd:- '" +
                                folder + "/dialog-" + std::to_string(language) + ".png'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << GetLastError();
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }));
  const std::string shot = "Z:" + folder + "/dialog-" + std::to_string(language) + ".png";
  EXPECT_NE(GetFileAttributesA(shot.c_str()), INVALID_FILE_ATTRIBUTES) << shot;
}

}  // namespace
