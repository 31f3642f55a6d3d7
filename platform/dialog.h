// A dialog window and its controls, as the dialog logic reaches them: every operation names a
// control by its id and makes one window call (ShowWindow, EnableWindow, SetWindowTextA,
// SendMessageA with one message). Messages reach the logic as plain numbers and ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/devices.h"
#include "platform/types.h"

namespace platform {

// Window messages the dialog handles.
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmPaint = 0x000F;
constexpr std::uint32_t kWmClose = 0x0010;  // left to the default handling, which sends IDCANCEL
constexpr std::uint32_t kWmQueryDragIcon = 0x0037;
constexpr std::uint32_t kWmSetCursor = 0x0020;
constexpr std::uint32_t kWmNotify = 0x004E;
constexpr std::uint32_t kWmInitDialog = 0x0110;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmDeviceChange = 0x0219;

// Notification codes of WM_COMMAND and WM_NOTIFY.
constexpr std::uint32_t kBnClicked = 0;
constexpr std::uint32_t kLbnSelChange = 1;
constexpr std::uint32_t kLbnDblClk = 2;
constexpr std::uint32_t kStnDblClk = 1;
constexpr std::uint32_t kIpnFieldChanged = 0u - 860u;  // IPN_FIRST - 0

// Device events of WM_DEVICECHANGE and the device type of their header record.
constexpr std::uint32_t kDbtDeviceArrival = 0x8000;
constexpr std::uint32_t kDbtDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDbtDevtypDeviceInterface = 5;

// Dialog results and system cursors.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdcWait = 32514;
constexpr int kIdcHand = 32649;

// Window and control styles the template uses (the logic reads groups and radio buttons).
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kButtonTypeMask = 0x0000000F;
constexpr std::uint32_t kBsAutoRadioButton = 0x9;
constexpr std::uint32_t kBsRadioButton = 0x4;
constexpr std::uint32_t kLbsSort = 0x2;
constexpr std::uint32_t kSsNotify = 0x100;

// List box results.
constexpr int kLbErr = -1;

// Paths and port names live in buffers of this size.
constexpr std::size_t kTextBufferSize = 260;

// The header of a WM_DEVICECHANGE event record (DEV_BROADCAST_HDR).
struct DeviceEventHeader {
  std::uint32_t size = 0;
  std::uint32_t deviceType = 0;
  std::uint32_t reserved = 0;
};

// The fields of an IPN_FIELDCHANGED record (NMIPADDRESS) that the handler may change: the field
// index and its new value, -1 when the user left the field blank. The value the handler leaves
// here is what the control shows in the field.
struct IpFieldChange {
  int field = 0;
  int value = 0;
};

// The filter of a device notification registration (DEV_BROADCAST_DEVICEINTERFACE_A) with an
// empty name: arrivals and removals of interfaces of one class.
struct DeviceInterfaceFilter {
  std::uint32_t size = 0;
  std::uint32_t deviceType = 0;
  std::uint32_t reserved = 0;
  Guid classGuid = {};
};

// One message for the dialog. WM_COMMAND: id and code from wParam; WM_NOTIFY: id and code from
// the notification header; WM_DEVICECHANGE: the event in wParam and its header, when it has one.
struct DialogMessage {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  int id = 0;
  std::uint32_t code = 0;
  const DeviceEventHeader* device = nullptr;
  IpFieldChange* ipField = nullptr;
};

// What the dialog did with a message: not handled (the system's default handling follows) or
// handled with a result.
struct MessageResult {
  bool handled = false;
  std::intptr_t value = 0;
};

// The controls of one open dialog window.
class IDialogWindow {
 public:
  virtual ~IDialogWindow() = default;
  // The dialog's own window (for a parent window argument).
  virtual WindowRef Window() = 0;
  // GetDlgItem: the control's window, 0 when there is none.
  virtual WindowRef ControlWindow(int id) = 0;
  // SetWindowTextA on the dialog: its title.
  virtual void SetTitle(const char* text) = 0;
  // ShowWindow(control, show) with kShowHide or kShowNormal.
  virtual void ShowControl(int id, int show) = 0;
  // EnableWindow(control, enable).
  virtual void EnableControl(int id, bool enable) = 0;
  // SetWindowTextA(control, text).
  virtual void SetControlText(int id, const char* text) = 0;
  // BM_GETCHECK: true when the button is checked.
  virtual bool IsChecked(int id) = 0;
  // BM_SETCHECK with BST_CHECKED or BST_UNCHECKED.
  virtual void SetChecked(int id, bool checked) = 0;
  // LB_RESETCONTENT.
  virtual void ListResetContent(int id) = 0;
  // LB_ADDSTRING: the new item's index (a sorted list places it in order), or kLbErr.
  virtual int ListAddString(int id, const char* text) = 0;
  // LB_INSERTSTRING at the index (-1: at the end, never sorted): the item's index, or kLbErr.
  virtual int ListInsertString(int id, int index, const char* text) = 0;
  // LB_SETCURSEL (-1: no selection).
  virtual void ListSetCurSel(int id, int index) = 0;
  // LB_GETCURSEL: the selected index, or kLbErr when nothing is selected.
  virtual int ListGetCurSel(int id) = 0;
  // LB_GETTEXT into the buffer: the text's length, or kLbErr (buffer untouched) when there is no
  // such item or the item with its NUL would not fit the buffer's size.
  virtual int ListGetText(int id, int index, char* buffer, std::size_t size) = 0;
  // IPM_SETADDRESS with the packed address (first field in the most significant byte).
  virtual void SetIpAddress(int id, std::uint32_t address) = 0;
  // IPM_GETADDRESS: the number of non-blank fields; *address gets the packed address, blank
  // fields as 0.
  virtual int GetIpAddress(int id, std::uint32_t* address) = 0;
  // SetCursor(LoadCursorA(NULL, cursorId)) with a system cursor id.
  virtual void SetSystemCursor(int cursorId) = 0;
  // EndDialog(dialog, result): the modal run ends once the current message is handled.
  virtual void EndDialog(std::intptr_t result) = 0;
  // SendMessageA(dialog, WM_SETICON, ICON_BIG or ICON_SMALL, icon).
  virtual void SetIcon(bool big, std::uintptr_t icon) = 0;
  // RegisterDeviceNotificationA(dialog, filter, DEVICE_NOTIFY_WINDOW_HANDLE); the registration
  // lasts as long as the window, and its handle is not kept.
  virtual void RegisterDeviceInterfaceNotification(const DeviceInterfaceFilter& filter) = 0;
  // IsIconic(dialog).
  virtual bool IsMinimized() = 0;
  // GetClientRect(dialog): the client area's width and height.
  virtual void ClientSize(int* width, int* height) = 0;
  // GetSystemMetrics(SM_CXICON) and GetSystemMetrics(SM_CYICON).
  virtual void IconMetrics(int* width, int* height) = 0;
  // BeginPaint, WM_ICONERASEBKGND with the paint context, DrawIcon(context, x, y, icon), EndPaint.
  virtual void PaintIcon(int x, int y, std::uintptr_t icon) = 0;
};

// The logic of a dialog, as the window system drives it.
class IDialogHandler {
 public:
  virtual ~IDialogHandler() = default;
  // The window is there (just before WM_INITDIALOG), or gone (null, after the modal run).
  virtual void Attach(IDialogWindow* window) = 0;
  // One message of the window.
  virtual MessageResult HandleMessage(const DialogMessage& message) = 0;
};

// Modal runs of the program's dialog templates.
class IDialogRunner {
 public:
  virtual ~IDialogRunner() = default;
  // InitCommonControlsEx with a record of that size and those classes; the result is not examined.
  virtual void InitCommonControls(std::uint32_t size, std::uint32_t classes) = 0;
  // DialogBoxParamA(program module, templateId, no owner, ...): creates the dialog from the
  // template, routes its messages to the handler until it ends, and returns the EndDialog result;
  // -1 when the dialog cannot be created.
  virtual std::intptr_t RunModal(int templateId, IDialogHandler& handler) = 0;
};

// One control of a dialog template, as the resource holds it.
struct ControlTemplate {
  int id = 0;
  const char* className = nullptr;
  std::uint32_t style = 0;  // WS_CHILD and the rest
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  const char* text = nullptr;  // the template text (code page 936), null for none
  int image = 0;               // the image resource a static shows instead of a text, 0 for none
};

// A dialog template: the window and its controls in template order (creation, tab and Z order).
struct DialogTemplate {
  int id = 0;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int language = 0;
  const char* caption = nullptr;
  const char* fontName = nullptr;
  int pointSize = 0;
  int weight = 0;
  bool italic = false;
  int charset = 0;
  const ControlTemplate* controls = nullptr;
  std::size_t controlCount = 0;
};

// The program's dialog template with that resource id, or null (the table is generated from
// resources/*.dlg, the same description the resource script is made from).
const DialogTemplate* ProgramDialogTemplate(int id);

// The control of the template with that id, or null.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

// The radio buttons of the group that starts at firstId, in template order: the run of controls
// from firstId up to the next control with WS_GROUP, radio buttons only.
// Empty when the template has no control firstId.
std::vector<int> RadioGroup(const DialogTemplate& dialog, int firstId);

// True for a radio button (auto or not).
bool IsRadioButton(const ControlTemplate& control);

}  // namespace platform
