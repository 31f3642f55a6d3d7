// A small helper of `make run` in a virtual display: finds the installer's dialog by its title.
//   setup_window wait   waits up to 60 s for the dialog, then prints "width height x y" of it
//   setup_window close  ends the dialog as its exit button does
// The exit code is 0 when the dialog was found, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char kTitle[] = "Printer Driver Setup V1.23";

// The dialog once it is shown and answers messages, so that its initialisation is over.
HWND ShownDialog() {
  HWND dialog = FindWindowA("#32770", kTitle);
  if (dialog == nullptr || !IsWindowVisible(dialog)) return nullptr;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) return nullptr;
  return dialog;
}

int Wait() {
  for (int tries = 0; tries < 600; ++tries) {
    if (HWND dialog = ShownDialog()) {
      RECT area = {};
      GetWindowRect(dialog, &area);
      std::printf("%ld %ld %ld %ld\n", area.right - area.left, area.bottom - area.top, area.left, area.top);
      return 0;
    }
    Sleep(100);
  }
  std::fprintf(stderr, "setup_window: no dialog titled \"%s\"\n", kTitle);
  return 1;
}

int Close() {
  HWND dialog = FindWindowA("#32770", kTitle);
  if (dialog == nullptr) return 1;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "wait") == 0) return Wait();
  if (argc == 2 && std::strcmp(argv[1], "close") == 0) return Close();
  std::fprintf(stderr, "usage: setup_window wait|close\n");
  return 2;
}
