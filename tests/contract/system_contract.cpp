// Kernel services: the version record, error texts, the system directory and time conversions.
#include <string>

#include "contract_machine.h"
#include "platform/files.h"
#include "platform/types.h"

namespace contract {
namespace {

TEST_P(SystemContract, GetVersionFillsEveryField) {
  platform::OsVersion version{kSentinel, kSentinel, kSentinel};
  ASSERT_TRUE(services().system->GetVersion(&version));
  EXPECT_GE(version.major, 5u);
  EXPECT_NE(version.minor, kSentinel);
  EXPECT_NE(version.build, kSentinel);
}

// A 64-bit program runs on a 64-bit machine only; the 32-bit one on either.
TEST_P(SystemContract, NativeProcessorArchitectureFitsTheProgram) {
  const std::uint16_t architecture = services().system->NativeProcessorArchitecture();
  if (machine().PointerSize() == 8) {
    EXPECT_EQ(architecture, platform::kArchitectureAmd64);
  } else {
    EXPECT_TRUE(architecture == platform::kArchitectureIntel || architecture == platform::kArchitectureAmd64)
        << architecture;
  }
}

// The installer shows the system's text of the last error; every code a back-end sets has one,
// ended by CR LF as the system's messages are.
TEST_P(SystemContract, ErrorTextOfEveryCodeTheCallsSet) {
  const std::uint32_t codes[] = {2, 3, 5, 6, 8, 80, 87, 122, 145, 183, 234, 259, 267,
                                 1722, 1784, 1796, 1797, 1801, 1802, 1805, 1813, 1814};
  for (std::uint32_t code : codes) {
    std::string text = "sentinel";
    EXPECT_TRUE(services().system->ErrorText(code, &text)) << code;
    EXPECT_GT(text.size(), 2u) << code;
    EXPECT_EQ(text.substr(text.size() < 2 ? 0 : text.size() - 2), "\r\n") << code;
  }
}

TEST_P(SystemContract, ErrorTextOfAnUnknownCodeLeavesTheText) {
  std::string text = "sentinel";
  EXPECT_FALSE(services().system->ErrorText(0x2000ABCDu, &text));
  EXPECT_EQ(text, "sentinel");
}

TEST_P(SystemContract, SystemDirectoryIsAnExistingFolderWithoutTrailingBackslash) {
  const std::string directory = services().system->SystemDirectory();
  ASSERT_GT(directory.size(), 3u);
  EXPECT_NE(directory.back(), '\\');
  EXPECT_EQ(directory[1], ':');
  const std::uint32_t attributes = services().files->GetFileAttributes(directory.c_str());
  ASSERT_NE(attributes, platform::kInvalidFileAttributes);
  EXPECT_TRUE(attributes & platform::kFileAttributeDirectory);
}

TEST_P(SystemContract, LocalTimeToUtcFileTimeRefusesWhatIsNoCalendarTime) {
  struct Case {
    platform::SystemTime time;
    bool valid;
  };
  const Case cases[] = {
      {{2024, 2, 0, 29, 12, 0, 0, 0}, true},    // a leap day
      {{2021, 4, 0, 31, 0, 0, 0, 0}, false},    // April has 30 days
      {{2021, 13, 0, 1, 0, 0, 0, 0}, false},    // month 13
      {{2021, 0, 0, 1, 0, 0, 0, 0}, false},     // month 0
      {{2021, 7, 0, 28, 24, 0, 0, 0}, false},   // hour 24
      {{2021, 7, 0, 28, 11, 60, 0, 0}, false},  // minute 60
      {{2021, 7, 0, 28, 11, 22, 48, 1000}, false},
      {{2021, 7, 6, 28, 11, 22, 48, 999}, true},  // the day of the week is not checked
  };
  for (const Case& item : cases) {
    std::uint64_t fileTime = kSentinel;
    EXPECT_EQ(services().system->LocalTimeToUtcFileTime(item.time, &fileTime), item.valid)
        << item.time.year << "-" << item.time.month << "-" << item.time.day << " " << item.time.hour << ":"
        << item.time.minute << ":" << item.time.second << "." << item.time.milliseconds;
    if (!item.valid) {
      EXPECT_EQ(fileTime, kSentinel);
    }
  }
}

// February 29th of a year that is no leap year is no date.
TEST_P(SystemContract, LocalTimeToUtcFileTimeRefusesTheLeapDayOfAnOrdinaryYear) {
  std::uint64_t fileTime = kSentinel;
  const bool converted = services().system->LocalTimeToUtcFileTime({2021, 2, 0, 29, 12, 0, 0, 0}, &fileTime);
  if (WineDiffers("SystemTimeToFileTime checks February against the leap-year length in every year")) {
    EXPECT_TRUE(converted);
    return;
  }
  EXPECT_FALSE(converted);
  EXPECT_EQ(fileTime, kSentinel);
}

// The conversion is exact to the 100 ns unit: one millisecond more is 10000 units more.
TEST_P(SystemContract, LocalTimeToUtcFileTimeCountsMilliseconds) {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  ASSERT_TRUE(services().system->LocalTimeToUtcFileTime({2021, 7, 3, 28, 11, 22, 48, 0}, &first));
  ASSERT_TRUE(services().system->LocalTimeToUtcFileTime({2021, 7, 3, 28, 11, 22, 48, 1}, &second));
  EXPECT_EQ(second - first, 10000u);
}

}  // namespace
}  // namespace contract
