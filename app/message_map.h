// A dialog's message map: one table of entries, each binding a window message (for WM_COMMAND
// and WM_NOTIFY: a control id and a notification code) to a handler, a member function of the
// dialog. The first matching entry handles the message.
//
// Handler forms and what the window system gets back:
//   void ()                                   handled, result 0
//   std::uintptr_t ()                          handled, the value (an icon for WM_QUERYDRAGICON)
//   bool ()                                    handled when true; false leaves the default handling
//   bool (std::uint32_t event, const DeviceEventHeader* header)   WM_DEVICECHANGE: handled, the value
//   bool (WindowRef window, std::uint32_t hitTest, std::uint32_t mouseMessage)
//                                              WM_SETCURSOR: true (handled, TRUE) or default handling
//   void (IpFieldChange* change, std::intptr_t* result)   WM_NOTIFY: handled, *result
#pragma once

#include <cstdint>

#include "platform/dialog.h"

template <typename Dialog>
class MessageMap {
 public:
  using Invoker = platform::MessageResult (*)(Dialog&, const platform::DialogMessage&);

  struct Entry {
    std::uint32_t message = 0;
    int id = 0;              // WM_COMMAND, WM_NOTIFY only
    std::uint32_t code = 0;  // WM_COMMAND, WM_NOTIFY only
    Invoker invoke = nullptr;
  };

  // A window message, whatever its arguments.
  template <auto Handler>
  static constexpr Entry Message(std::uint32_t message) {
    return {message, 0, 0, &Call<Handler>};
  }
  // WM_COMMAND from control `id` with notification `code`.
  template <auto Handler>
  static constexpr Entry Command(int id, std::uint32_t code) {
    return {platform::kWmCommand, id, code, &Call<Handler>};
  }
  // WM_NOTIFY from control `id` with notification `code`.
  template <auto Handler>
  static constexpr Entry Notify(int id, std::uint32_t code) {
    return {platform::kWmNotify, id, code, &Call<Handler>};
  }

  // Runs the first entry that matches the message; not handled when none does.
  template <std::size_t N>
  static platform::MessageResult Dispatch(const Entry (&entries)[N], Dialog& dialog,
                                          const platform::DialogMessage& message) {
    for (const Entry& entry : entries) {
      if (Matches(entry, message)) return entry.invoke(dialog, message);
    }
    return {};
  }

  static bool Matches(const Entry& entry, const platform::DialogMessage& message) {
    if (entry.message != message.message) return false;
    if (message.message != platform::kWmCommand && message.message != platform::kWmNotify) return true;
    return entry.id == message.id && entry.code == message.code;
  }

 private:
  template <auto Handler>
  static platform::MessageResult Call(Dialog& dialog, const platform::DialogMessage& message) {
    return Invoke(dialog, Handler, message);
  }

  static platform::MessageResult Invoke(Dialog& dialog, void (Dialog::*handler)(), const platform::DialogMessage&) {
    (dialog.*handler)();
    return {true, 0};
  }
  static platform::MessageResult Invoke(Dialog& dialog, std::uintptr_t (Dialog::*handler)(),
                                        const platform::DialogMessage&) {
    return {true, static_cast<std::intptr_t>((dialog.*handler)())};
  }
  static platform::MessageResult Invoke(Dialog& dialog, bool (Dialog::*handler)(), const platform::DialogMessage&) {
    return {(dialog.*handler)(), 0};
  }
  static platform::MessageResult Invoke(Dialog& dialog,
                                        bool (Dialog::*handler)(std::uint32_t, const platform::DeviceEventHeader*),
                                        const platform::DialogMessage& message) {
    return {true, (dialog.*handler)(static_cast<std::uint32_t>(message.wParam), message.device) ? 1 : 0};
  }
  static platform::MessageResult Invoke(Dialog& dialog,
                                        bool (Dialog::*handler)(platform::WindowRef, std::uint32_t, std::uint32_t),
                                        const platform::DialogMessage& message) {
    const std::uint32_t packed = static_cast<std::uint32_t>(message.lParam);
    const bool set = (dialog.*handler)(static_cast<platform::WindowRef>(message.wParam), packed & 0xFFFF, packed >> 16);
    return {set, set ? 1 : 0};
  }
  static platform::MessageResult Invoke(Dialog& dialog, void (Dialog::*handler)(platform::IpFieldChange*, std::intptr_t*),
                                        const platform::DialogMessage& message) {
    if (message.ipField == nullptr) return {};
    std::intptr_t result = 0;
    (dialog.*handler)(message.ipField, &result);
    return {true, result};
  }
};
