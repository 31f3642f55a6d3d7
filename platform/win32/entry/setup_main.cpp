// Setup.exe's entry point.
#include <windows.h>

#include "app/varnel_app.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // First of all: libraries are loaded from the system directory only, never from the folder
  // the program was started from or the current directory.
  win32::RestrictLibrarySearchToSystemDirectory();
  static CVarnelApp application(win32::MachinePlatform());
  application.InitInstance();
  return 0;
}
