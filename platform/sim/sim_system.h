// The simulated machine's kernel services: a settable version, architecture, UI language, clock
// and time zone, with recorded pauses, clock reads and debugger lines.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/system.h"

namespace sim {

class SimSystem : public platform::ISystem {
 public:
  SimSystem(Faults& faults, Trace& trace);

  bool GetVersion(platform::OsVersion* version) override;
  std::uint16_t NativeProcessorArchitecture() override { return architecture; }
  std::uint16_t UserDefaultUiLanguage() override { return uiLanguage; }
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t LastError() override { return lastError; }
  bool ErrorText(std::uint32_t code, std::string* text) override;
  void DebugOutput(const char* text) override { debugLines.emplace_back(text); }
  std::string SystemDirectory() override { return systemDirectory; }
  platform::SystemTime LocalTime() override;
  bool LocalTimeToUtcFileTime(const platform::SystemTime& local, std::uint64_t* fileTime) override;

  // Sets the last error, as a failing call of any part of the machine does.
  void SetLastError(std::uint32_t code) { lastError = code; }

  platform::OsVersion version{6, 1, 7601};
  std::uint16_t architecture = 0;
  std::uint16_t uiLanguage = 1033;
  std::uint32_t lastError = 0;
  std::string systemDirectory = "C:\\Windows\\system32";
  platform::SystemTime localTime{2024, 3, 2, 5, 9, 7, 2, 0};
  std::int32_t utcOffsetMinutes = 0;  // local time minus UTC
  std::map<std::uint32_t, std::string> errorTexts;
  std::vector<std::string> debugLines;
  std::vector<std::uint32_t> sleeps;

 private:
  Faults& faults_;
  Trace& trace_;
};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);

}  // namespace sim
