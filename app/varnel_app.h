// CVarnelApp: the application. One run of the process is one use of the installer: it shows the
// main dialog modally and ends when the dialog ends.
#pragma once

#include "platform/platform.h"

class CVarnelApp {
 public:
  explicit CVarnelApp(platform::Platform& machine) : machine_(machine) {}

  // Initialises the common controls and runs the main dialog as a local object; returns false,
  // so that the program ends after it, whatever the dialog's result.
  bool InitInstance();

 private:
  platform::Platform& machine_;
};
