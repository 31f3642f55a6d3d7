// Kernel services: version and processor information, UI language, pauses, last-error texts,
// debugger output, the system directory and time conversions.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
};

// A calendar time in the SYSTEMTIME field order.
struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // GetVersionExA with a zero-filled record of size 148; false when the query fails.
  virtual bool GetVersion(OsVersion* version) = 0;
  // GetNativeSystemInfo on a zero-filled record: the machine's wProcessorArchitecture.
  virtual std::uint16_t NativeProcessorArchitecture() = 0;
  // GetUserDefaultUILanguage.
  virtual std::uint16_t UserDefaultUiLanguage() = 0;
  // Sleep for the given milliseconds.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // GetLastError.
  virtual std::uint32_t LastError() = 0;
  // FormatMessageA(0x1300, NULL, code, 0x400) and LocalFree: the system's text for an error code;
  // false when the system has none.
  virtual bool ErrorText(std::uint32_t code, std::string* text) = 0;
  // OutputDebugStringA.
  virtual void DebugOutput(const char* text) = 0;
  // GetSystemDirectoryA, without a trailing backslash.
  virtual std::string SystemDirectory() = 0;
  // GetLocalTime.
  virtual SystemTime LocalTime() = 0;
  // SystemTimeToFileTime, then LocalFileTimeToFileTime: a local calendar time as a UTC file time;
  // false when the time is no valid calendar time.
  virtual bool LocalTimeToUtcFileTime(const SystemTime& local, std::uint64_t* fileTime) = 0;
};

// The full path of a program in the system directory ("net" gives C:\Windows\system32\net.exe):
// the installer runs with administrator rights and never lets the search path pick a program.
// Empty when the system directory is unknown: a path formed from nothing would name a program
// at the root of the current drive, so the caller then starts nothing.
inline std::string SystemProgramPath(ISystem& system, const char* program) {
  const std::string directory = system.SystemDirectory();
  if (directory.empty()) return std::string();
  return directory + "\\" + program + ".exe";
}

}  // namespace platform
