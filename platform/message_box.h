// The application's standard message box: a modal box with an OK button only.
#pragma once

#include "platform/types.h"

namespace platform {

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Shows the text and returns when the user has closed the box.
  virtual void Show(const char* text) = 0;
  // Makes the window the owner of every box shown from now on (0: no owner). An owned box
  // disables its owner while it is open, so that nothing of the owner can be clicked meanwhile.
  virtual void SetOwner(WindowRef owner) = 0;
};

}  // namespace platform
