// The Win32 dialog back-end: the controls of an open dialog window, and the modal run of a
// dialog template of the program with a dialog procedure that hands every message to the logic.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

namespace win32 {

// Each operation makes the window call its interface names, on GetDlgItem(dialog, id).
class DialogWindow : public platform::IDialogWindow {
 public:
  explicit DialogWindow(HWND dialog) : dialog_(dialog) {}

  platform::WindowRef Window() override;
  platform::WindowRef ControlWindow(int id) override;
  void SetTitle(const char* text) override;
  void ShowControl(int id, int show) override;
  void EnableControl(int id, bool enable) override;
  void SetControlText(int id, const char* text) override;
  bool IsChecked(int id) override;
  void SetChecked(int id, bool checked) override;
  void ListResetContent(int id) override;
  int ListAddString(int id, const char* text) override;
  int ListInsertString(int id, int index, const char* text) override;
  void ListSetCurSel(int id, int index) override;
  int ListGetCurSel(int id) override;
  int ListGetText(int id, int index, char* buffer, std::size_t size) override;
  void SetIpAddress(int id, std::uint32_t address) override;
  int GetIpAddress(int id, std::uint32_t* address) override;
  void SetSystemCursor(int cursorId) override;
  void EndDialog(std::intptr_t result) override;
  void SetIcon(bool big, std::uintptr_t icon) override;
  void RegisterDeviceInterfaceNotification(const platform::DeviceInterfaceFilter& filter) override;
  bool IsMinimized() override;
  void ClientSize(int* width, int* height) override;
  void IconMetrics(int* width, int* height) override;
  void PaintIcon(int x, int y, std::uintptr_t icon) override;

 private:
  LRESULT SendTo(int id, UINT message, WPARAM wParam, LPARAM lParam);

  HWND dialog_;
};

// DialogBoxParamA on the program's module. The common control classes the templates use (the
// IP address control among them) are registered first.
class DialogRunner : public platform::IDialogRunner {
 public:
  std::intptr_t RunModal(int templateId, platform::IDialogHandler& handler) override;
  void InitCommonControls(std::uint32_t size, std::uint32_t classes) override;
};

// InitCommonControlsEx from comctl32.dll of the system directory, with a record of that size
// and the classes (ICC_...); false when the library or the function is missing or the call fails.
bool InitCommonControls(DWORD size, DWORD classes);

}  // namespace win32
