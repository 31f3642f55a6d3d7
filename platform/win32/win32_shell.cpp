#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_services.h"

namespace win32 {

void Shell::Execute(platform::WindowRef window, const char* verb, const char* file, const char* parameters,
                    const char* directory, int show) {
  ::ShellExecuteA(reinterpret_cast<HWND>(window), verb, file, parameters, directory, show);
}

platform::ProcessRef Shell::ExecuteEx(const platform::ShellExecuteRecord& record) {
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = record.mask;
  info.hwnd = reinterpret_cast<HWND>(record.window);
  info.lpVerb = record.verb;
  info.lpFile = record.file;
  info.lpParameters = record.parameters;
  info.lpDirectory = record.directory;
  info.nShow = record.show;
  ::ShellExecuteExA(&info);
  return reinterpret_cast<platform::ProcessRef>(info.hProcess);
}

void Shell::WaitForProcess(platform::ProcessRef process) {
  if (process != 0) ::WaitForSingleObject(reinterpret_cast<HANDLE>(process), INFINITE);
}

void Shell::CloseProcess(platform::ProcessRef process) {
  if (process != 0) ::CloseHandle(reinterpret_cast<HANDLE>(process));
}

// Owned by the dialog rather than by whatever window is active: the dialog may not be the active
// window (started from another program, or with another application in front), and an unowned
// box would leave the dialog clickable while the installation waits on the box.
void StandardMessageBox::Show(const char* text) {
  ::MessageBoxA(reinterpret_cast<HWND>(owner_), text, "Setup", MB_OK);
}

}  // namespace win32
