// The installer's texts in both languages. 2052 selects Chinese, every other code English.
#pragma once

#include <cstdint>

enum class DriverVariant { X86, X64 };

constexpr std::int32_t kLanguageChinese = 2052;
constexpr std::int32_t kLanguageEnglish = 1033;

// The test page's text for a language.
const char* TestPageTextFor(std::int32_t language);

// The text shown when staging the driver files failed.
const char* CopyFailureText(DriverVariant variant, std::int32_t language, std::int32_t versionLevel);

// The text shown after the system's text when registering the driver failed.
const char* RegistrationFailureText(DriverVariant variant, std::int32_t language);

// The success message, with %s for the printer's name and %s for its port.
const char* SuccessFormat(std::int32_t language);

// The renaming format of a taken printer name, with %s for the name and %d for the number.
const char* CopyNameFormat(std::int32_t language);

// The texts of one installation that the install command hands on (the test page's text).
struct InstallMessageSet {
  const char* TestPageText = nullptr;

  // Sets the texts for a language code.
  void Fill(std::int32_t language) { TestPageText = TestPageTextFor(language); }
};
