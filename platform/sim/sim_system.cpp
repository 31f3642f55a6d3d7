#include "platform/sim/sim_system.h"

#include "platform/types.h"

namespace sim {

SimSystem::SimSystem(Faults& faults, Trace& trace) : faults_(faults), trace_(trace) {
  // The system's texts of every code the simulated calls set.
  errorTexts = {
      {2, "The system cannot find the file specified.\r\n"},
      {3, "The system cannot find the path specified.\r\n"},
      {5, "Access is denied.\r\n"},
      {6, "The handle is invalid.\r\n"},
      {8, "Not enough memory resources are available to process this command.\r\n"},
      {80, "The file exists.\r\n"},
      {87, "The parameter is incorrect.\r\n"},
      {122, "The data area passed to a system call is too small.\r\n"},
      {145, "The directory is not empty.\r\n"},
      {183, "Cannot create a file when that file already exists.\r\n"},
      {234, "More data is available.\r\n"},
      {259, "No more data is available.\r\n"},
      {267, "The directory name is invalid.\r\n"},
      {1722, "The RPC server is unavailable.\r\n"},
      {1784, "The supplied user buffer is not valid for the requested operation.\r\n"},
      {1796, "The specified port is unknown.\r\n"},
      {1797, "The printer driver is unknown.\r\n"},
      {1801, "The printer name is invalid.\r\n"},
      {1802, "The printer already exists.\r\n"},
      {1805, "The environment specified is invalid.\r\n"},
      {1813, "The specified resource type cannot be found in the image file.\r\n"},
      {1814, "The specified resource name cannot be found in the image file.\r\n"},
  };
}

bool SimSystem::GetVersion(platform::OsVersion* result) {
  std::uint32_t error = 0;
  if (faults_.ShouldFail("GetVersionExA", &error)) {
    SetLastError(error);
    return false;
  }
  *result = version;
  return true;
}

void SimSystem::Sleep(std::uint32_t milliseconds) {
  sleeps.push_back(milliseconds);
  trace_.push_back("Sleep " + std::to_string(milliseconds));
}

bool SimSystem::ErrorText(std::uint32_t code, std::string* text) {
  std::uint32_t error = 0;
  if (faults_.ShouldFail("FormatMessageA", &error)) return false;
  auto found = errorTexts.find(code);
  if (found == errorTexts.end()) return false;
  *text = found->second;
  return true;
}

platform::SystemTime SimSystem::LocalTime() {
  trace_.push_back("GetLocalTime");
  return localTime;
}

std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

namespace {

bool IsLeap(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

}  // namespace

// As SystemTimeToFileTime: fails for a time that is no calendar time (a month or day of 0, ...).
bool SimSystem::LocalTimeToUtcFileTime(const platform::SystemTime& local, std::uint64_t* fileTime) {
  if (local.year < 1601 || local.year > 30827 || local.month < 1 || local.month > 12) return false;
  if (local.day < 1 || local.day > DaysInMonth(local.year, local.month)) return false;
  if (local.hour > 23 || local.minute > 59 || local.second > 59 || local.milliseconds > 999) return false;
  constexpr std::int64_t kUnixEpochDaysFrom1601 = 134774;
  const std::int64_t days = DaysFromCivil(local.year, local.month, local.day) + kUnixEpochDaysFrom1601;
  const std::int64_t seconds = days * 86400 + local.hour * 3600 + local.minute * 60 + local.second -
                               static_cast<std::int64_t>(utcOffsetMinutes) * 60;
  *fileTime = static_cast<std::uint64_t>(seconds * 10000000 + local.milliseconds * 10000);
  return true;
}

}  // namespace sim
