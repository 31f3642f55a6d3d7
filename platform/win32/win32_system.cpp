#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace win32 {

bool System::GetVersion(platform::OsVersion* version) {
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = 148;
  if (!::GetVersionExA(&info)) return false;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  version->build = info.dwBuildNumber;
  return true;
}

std::uint16_t System::NativeProcessorArchitecture() {
  SYSTEM_INFO info;
  ZeroMemory(&info, sizeof info);
  ::GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

std::uint16_t System::UserDefaultUiLanguage() { return ::GetUserDefaultUILanguage(); }

void System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t System::LastError() { return ::GetLastError(); }

bool System::ErrorText(std::uint32_t code, std::string* text) {
  LocalText buffer;
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  const DWORD length = ::FormatMessageA(flags, nullptr, code, 0x400, reinterpret_cast<LPSTR>(buffer.Receive()), 0,
                                        nullptr);
  if (length == 0 || !buffer.Valid()) return false;
  text->assign(buffer.Get(), length);
  return true;
}

void System::DebugOutput(const char* text) { ::OutputDebugStringA(text); }

std::string System::SystemDirectory() {
  char directory[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(directory, length);
}

platform::SystemTime System::LocalTime() {
  SYSTEMTIME time;
  ::GetLocalTime(&time);
  return platform::SystemTime{time.wYear, time.wMonth, time.wDayOfWeek, time.wDay,
                              time.wHour, time.wMinute, time.wSecond,   time.wMilliseconds};
}

bool System::LocalTimeToUtcFileTime(const platform::SystemTime& local, std::uint64_t* fileTime) {
  SYSTEMTIME time{local.year, local.month, local.dayOfWeek, local.day,
                  local.hour, local.minute, local.second,  local.milliseconds};
  FILETIME localTime;
  FILETIME utc;
  if (!::SystemTimeToFileTime(&time, &localTime)) return false;
  if (!::LocalFileTimeToFileTime(&localTime, &utc)) return false;
  *fileTime = (static_cast<std::uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
  return true;
}

}  // namespace win32
