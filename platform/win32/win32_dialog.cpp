#include "platform/win32/win32_dialog.h"

#include <commctrl.h>
#include <dbt.h>

#include <memory>

#include "platform/win32/system_library.h"

namespace win32 {
namespace {

// The state of one modal run, reached from the dialog procedure through DWLP_USER.
struct ModalRun {
  platform::IDialogHandler* handler = nullptr;
  std::unique_ptr<DialogWindow> window;
};

// Device events whose lParam points to a DEV_BROADCAST_HDR.
bool CarriesHeader(WPARAM event) { return event >= DBT_DEVICEARRIVAL && event <= DBT_DEVICETYPESPECIFIC; }

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
  return message == WM_INITDIALOG || message == WM_QUERYDRAGICON || message == WM_CTLCOLORBTN ||
         message == WM_CTLCOLORDLG || message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ||
         message == WM_CTLCOLORSCROLLBAR || message == WM_CTLCOLORSTATIC || message == WM_COMPAREITEM ||
         message == WM_VKEYTOITEM || message == WM_CHARTOITEM;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ModalRun* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    run = reinterpret_cast<ModalRun*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    run->window = std::make_unique<DialogWindow>(dialog);
    run->handler->Attach(run->window.get());
  }
  if (run == nullptr || run->window == nullptr) return FALSE;  // the messages before WM_INITDIALOG

  platform::DialogMessage m;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  platform::DeviceEventHeader header;
  platform::IpFieldChange field;
  NMIPADDRESS* ipRecord = nullptr;
  if (message == WM_COMMAND) {
    m.id = LOWORD(wParam);
    m.code = HIWORD(wParam);
  } else if (message == WM_NOTIFY && lParam != 0) {
    const NMHDR* notification = reinterpret_cast<const NMHDR*>(lParam);
    m.id = static_cast<int>(notification->idFrom);
    m.code = notification->code;
    if (notification->code == static_cast<UINT>(IPN_FIELDCHANGED)) {
      ipRecord = reinterpret_cast<NMIPADDRESS*>(lParam);
      field.field = ipRecord->iField;
      field.value = ipRecord->iValue;
      m.ipField = &field;
    }
  } else if (message == WM_DEVICECHANGE && lParam != 0 && CarriesHeader(wParam)) {
    const DEV_BROADCAST_HDR* broadcast = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    header.size = broadcast->dbch_size;
    header.deviceType = broadcast->dbch_devicetype;
    header.reserved = broadcast->dbch_reserved;
    m.device = &header;
  }

  const platform::MessageResult result = run->handler->HandleMessage(m);
  if (ipRecord != nullptr) ipRecord->iValue = field.value;
  if (message == WM_INITDIALOG) return result.handled ? result.value : TRUE;
  if (!result.handled) return FALSE;
  if (ReturnsDirectly(message)) return result.value;
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result.value);
  return TRUE;
}

}  // namespace

bool InitCommonControls(DWORD size, DWORD classes) {
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const InitFunction init =
      reinterpret_cast<InitFunction>(reinterpret_cast<void*>(SystemFunction("comctl32.dll", "InitCommonControlsEx")));
  if (init == nullptr) return false;
  INITCOMMONCONTROLSEX record = {};
  record.dwSize = size;
  record.dwICC = classes;
  return init(&record) != FALSE;
}

std::intptr_t DialogRunner::RunModal(int templateId, platform::IDialogHandler& handler) {
  ::win32::InitCommonControls(sizeof(INITCOMMONCONTROLSEX), ICC_INTERNET_CLASSES);
  ModalRun run;
  run.handler = &handler;
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                                         DialogProcedure, reinterpret_cast<LPARAM>(&run));
  handler.Attach(nullptr);
  return result;
}

platform::WindowRef DialogWindow::Window() { return reinterpret_cast<platform::WindowRef>(dialog_); }

platform::WindowRef DialogWindow::ControlWindow(int id) {
  return reinterpret_cast<platform::WindowRef>(GetDlgItem(dialog_, id));
}

LRESULT DialogWindow::SendTo(int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetDlgItem(dialog_, id), message, wParam, lParam);
}

void DialogWindow::SetTitle(const char* text) { SetWindowTextA(dialog_, text); }

void DialogWindow::ShowControl(int id, int show) { ShowWindow(GetDlgItem(dialog_, id), show); }

void DialogWindow::EnableControl(int id, bool enable) { EnableWindow(GetDlgItem(dialog_, id), enable ? TRUE : FALSE); }

void DialogWindow::SetControlText(int id, const char* text) { SetWindowTextA(GetDlgItem(dialog_, id), text); }

bool DialogWindow::IsChecked(int id) { return SendTo(id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void DialogWindow::SetChecked(int id, bool checked) { SendTo(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

void DialogWindow::ListResetContent(int id) { SendTo(id, LB_RESETCONTENT, 0, 0); }

int DialogWindow::ListAddString(int id, const char* text) {
  return static_cast<int>(SendTo(id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int DialogWindow::ListInsertString(int id, int index, const char* text) {
  return static_cast<int>(SendTo(id, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

void DialogWindow::ListSetCurSel(int id, int index) { SendTo(id, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int DialogWindow::ListGetCurSel(int id) { return static_cast<int>(SendTo(id, LB_GETCURSEL, 0, 0)); }

// LB_GETTEXT writes without a size, so the item's length is checked against the buffer first.
int DialogWindow::ListGetText(int id, int index, char* buffer, std::size_t size) {
  const LRESULT length = SendTo(id, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || static_cast<std::size_t>(length) + 1 > size) return platform::kLbErr;
  return static_cast<int>(SendTo(id, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}

void DialogWindow::SetIpAddress(int id, std::uint32_t address) { SendTo(id, IPM_SETADDRESS, 0, address); }

int DialogWindow::GetIpAddress(int id, std::uint32_t* address) {
  DWORD packed = 0;
  const int filled = static_cast<int>(SendTo(id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&packed)));
  *address = packed;
  return filled;
}

void DialogWindow::SetSystemCursor(int cursorId) { SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(cursorId))); }

void DialogWindow::EndDialog(std::intptr_t result) { ::EndDialog(dialog_, result); }

void DialogRunner::InitCommonControls(std::uint32_t size, std::uint32_t classes) {
  ::win32::InitCommonControls(size, classes);
}

void DialogWindow::SetIcon(bool big, std::uintptr_t icon) {
  SendMessageA(dialog_, WM_SETICON, big ? ICON_BIG : ICON_SMALL, static_cast<LPARAM>(icon));
}

void DialogWindow::RegisterDeviceInterfaceNotification(const platform::DeviceInterfaceFilter& filter) {
  DEV_BROADCAST_DEVICEINTERFACE_A record;
  ZeroMemory(&record, sizeof record);
  record.dbcc_size = filter.size;
  record.dbcc_devicetype = filter.deviceType;
  record.dbcc_reserved = filter.reserved;
  record.dbcc_classguid.Data1 = filter.classGuid.data1;
  record.dbcc_classguid.Data2 = filter.classGuid.data2;
  record.dbcc_classguid.Data3 = filter.classGuid.data3;
  for (int i = 0; i < 8; ++i) record.dbcc_classguid.Data4[i] = filter.classGuid.data4[i];
  RegisterDeviceNotificationA(dialog_, &record, DEVICE_NOTIFY_WINDOW_HANDLE);
}

bool DialogWindow::IsMinimized() { return IsIconic(dialog_) != FALSE; }

void DialogWindow::ClientSize(int* width, int* height) {
  RECT client = {};
  GetClientRect(dialog_, &client);
  *width = client.right - client.left;
  *height = client.bottom - client.top;
}

void DialogWindow::IconMetrics(int* width, int* height) {
  *width = GetSystemMetrics(SM_CXICON);
  *height = GetSystemMetrics(SM_CYICON);
}

void DialogWindow::PaintIcon(int x, int y, std::uintptr_t icon) {
  PAINTSTRUCT paint;
  HDC context = BeginPaint(dialog_, &paint);
  SendMessageA(dialog_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
  DrawIcon(context, x, y, reinterpret_cast<HICON>(icon));
  EndPaint(dialog_, &paint);
}

}  // namespace win32
