// The application's standard message box: a modal box with an OK button only.
#pragma once

namespace platform {

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Shows the text and returns when the user has closed the box.
  virtual void Show(const char* text) = 0;
};

}  // namespace platform
