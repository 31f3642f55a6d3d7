// The driver package carried as a ZIP resource of the program, one variant per option-name
// language, and its unpacking into the working directory.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr std::uint16_t kDriverPayloadChinese = 129;  // chosen for UI language 2052
constexpr std::uint16_t kDriverPayloadEnglish = 138;  // chosen for any other UI language
constexpr char kDriverPayloadType[] = "zip";           // the resource type of both

// The resource id of the package variant for the UI language.
std::uint16_t DriverPayloadResource(std::int32_t uiLanguage);

// Unpacks every entry of the package variant for the UI language into the directory; a failing
// entry does not stop the others. Nothing is shown; true when every entry was unpacked.
[[nodiscard]] bool ExtractDriverPayload(platform::Platform& machine, const char* directory, std::int32_t uiLanguage);
