// The simulated dialog window: every control of a template with the state the window system
// keeps for it (visible, enabled, text, check, list items and selection, address fields), the
// user's actions as the window system turns them into notifications, and a modal runner whose
// user is a script of the test.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog.h"

namespace sim {

struct SimControl {
  const platform::ControlTemplate* source = nullptr;
  int id = 0;
  bool visible = false;
  bool enabled = true;
  std::string text;
  bool checked = false;
  std::vector<std::string> items;  // list box
  int selection = -1;              // list box
  int fields[4] = {-1, -1, -1, -1};  // IP address control: -1 is a blank field
};

class SimDialogWindow : public platform::IDialogWindow {
 public:
  // The window made from the template, with its controls as the template creates them; the
  // handler receives its messages.
  SimDialogWindow(const platform::DialogTemplate& dialog, platform::IDialogHandler& handler);

  // Attaches the handler and sends WM_INITDIALOG; its result.
  std::intptr_t Create();
  // Sends one message to the handler.
  platform::MessageResult Send(const platform::DialogMessage& message);
  // WM_COMMAND from a control.
  platform::MessageResult Command(int id, std::uint32_t code);

  // The user's actions; each does nothing (and returns false) on a hidden or disabled control.
  // A click: an auto radio button becomes the checked one of its group, then BN_CLICKED
  // (STN_CLICKED for a notifying static).
  bool Click(int id);
  // A double-click of a notifying static: STN_CLICKED, then STN_DBLCLK.
  bool DoubleClick(int id);
  // A click or arrow key that selects a list item: the selection moves, then LBN_SELCHANGE.
  bool SelectItem(int id, int index);
  // A double-click of a list item: selects it as SelectItem does, then LBN_DBLCLK.
  bool DoubleClickItem(int id, int index);
  // Typing a field of the IP address control and leaving it (-1: left blank): IPN_FIELDCHANGED,
  // and the field then shows the value the handler left in the notification.
  bool LeaveIpField(int id, int field, int value);
  // The window's close box: WM_CLOSE, which the default dialog handling turns into IDCANCEL
  // (BN_CLICKED from the IDCANCEL control) when the handler leaves it alone.
  platform::MessageResult Close();
  // The Escape key as the dialog manager handles it: IDCANCEL (BN_CLICKED from the IDCANCEL
  // control).
  platform::MessageResult PressEscape();
  // A device event with a header of the given device type.
  platform::MessageResult DeviceEvent(std::uint32_t event, std::uint32_t deviceType);

  SimControl& Control(int id);
  // The logic the window's messages go to.
  platform::IDialogHandler& Handler() { return handler_; }
  // The address the control shows, as "a.b.c.d" with blank fields as "_".
  std::string IpText(int id);
  // The whole state of the window, one line per control, for comparisons.
  std::string Describe() const;

  std::string title;
  bool ended = false;
  std::intptr_t result = 0;
  int cursor = 0;  // the last system cursor set
  std::vector<SimControl> controls;

  // IDialogWindow.
  platform::WindowRef Window() override { return kWindow; }
  platform::WindowRef ControlWindow(int id) override;
  void SetTitle(const char* text) override { title = text; }
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
  void SetSystemCursor(int cursorId) override { cursor = cursorId; }
  void EndDialog(std::intptr_t value) override;
  void SetIcon(bool big, std::uintptr_t icon) override { (big ? bigIcon : smallIcon) = icon; }
  void RegisterDeviceInterfaceNotification(const platform::DeviceInterfaceFilter& filter) override {
    notifications.push_back(filter);
  }
  bool IsMinimized() override { return minimized; }
  void ClientSize(int* width, int* height) override {
    *width = clientWidth;
    *height = clientHeight;
  }
  void IconMetrics(int* width, int* height) override {
    *width = 32;
    *height = 32;
  }
  void PaintIcon(int x, int y, std::uintptr_t icon) override { paintedIcons.push_back({x, y, icon}); }

  struct PaintedIcon {
    int x, y;
    std::uintptr_t icon;
  };
  std::uintptr_t bigIcon = 0;
  std::uintptr_t smallIcon = 0;
  std::vector<platform::DeviceInterfaceFilter> notifications;
  bool minimized = false;
  int clientWidth = 336;
  int clientHeight = 216;
  std::vector<PaintedIcon> paintedIcons;

  static constexpr platform::WindowRef kWindow = 0x7000;

 private:
  SimControl* Find(int id);
  bool Usable(const SimControl* control) const;

  const platform::DialogTemplate& dialog_;
  platform::IDialogHandler& handler_;
};

// Modal runs of the program's templates. The user is the test's script; when the script leaves
// the dialog open, the window's close box is clicked (WM_CLOSE). The window stays for inspection.
class SimDialogRunner : public platform::IDialogRunner {
 public:
  std::intptr_t RunModal(int templateId, platform::IDialogHandler& handler) override;
  void InitCommonControls(std::uint32_t size, std::uint32_t classes) override {
    commonControls.push_back({size, classes});
  }

  std::vector<std::pair<std::uint32_t, std::uint32_t>> commonControls;  // size, classes

  std::function<void(SimDialogWindow&)> user;
  std::unique_ptr<SimDialogWindow> window;
  int runs = 0;
};

}  // namespace sim
