// A stand-in "net.exe" planted where a program search would find it: when it runs, it leaves
// the file "net-ran.mark" beside itself, holding its command line.
#include <windows.h>

#include <cstring>

int main() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 2;
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr || (slash - path) + 15 >= MAX_PATH) return 2;
  std::strcpy(slash + 1, "net-ran.mark");
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  const char* commandLine = GetCommandLineA();
  DWORD written = 0;
  WriteFile(file, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
  CloseHandle(file);
  return 0;
}
