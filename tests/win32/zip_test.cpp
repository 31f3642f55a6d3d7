// The ZIP reader with the Win32 back-end: a package-like archive unpacked into a scratch folder,
// with the files, attributes and times Windows gives them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "payload/zip_reader.h"
#include "platform/win32/win32_services.h"
#include "wine_support.h"
#include "zip_test_archive.h"

namespace {

using zip_test::Entry;

// True inside Wine, whose ntdll exports its version.
bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

struct Times {
  std::uint64_t creation = 0, access = 0, write = 0;
};

Times TimesOf(const std::string& path) {
  Times times;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return times;
  FILETIME creation, access, write;
  if (GetFileTime(file, &creation, &access, &write)) times = Times{wine_test::FileTimeValue(creation), wine_test::FileTimeValue(access), wine_test::FileTimeValue(write)};
  CloseHandle(file);
  return times;
}

std::string ReadFileText(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
  CloseHandle(file);
  return content;
}

class WineZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work = wine_test::ScratchFolder("zip-test");
    machine = win32::MachinePlatform();
  }
  void TearDown() override { wine_test::RemoveTree(work); }

  std::string work;
  platform::Platform machine;
};

TEST_F(WineZipTest, UnpacksAPackageWithAttributesAndTimes) {
  const std::string dll = zip_test::Noise(100000);
  Entry folder("Windows x64/", "", 0);
  folder.externalAttributes = 0x10;
  Entry readOnly("Windows NT x86/RCQ80C.GPD", "*GPDFileVersion: \"1.0\"\r\n");
  readOnly.externalAttributes = 0x21;
  Entry hidden("Windows NT x86/HIDDEN.TXT", "hidden", 0);
  hidden.externalAttributes = 0x22;
  Entry stamped("stamped.txt", "times from the extended timestamp");
  stamped.localExtra = zip_test::Timestamp(7, {1600000000, 1600000100, 1500000000});
  Entry broken("broken.bin", dll);
  const zip_test::Archive built = zip_test::Build({folder,
                                                   {"Windows x64/UNIDRV.DLL", dll},
                                                   readOnly,
                                                   hidden,
                                                   stamped,
                                                   {"../escape.txt", "must not leave the folder", 0},
                                                   broken,
                                                   {"empty.txt", ""}});
  std::string bytes = built.bytes;
  for (std::size_t at : {built.central[6] + 16, built.local[6] + 14}) bytes[at] = static_cast<char>(bytes[at] ^ 1);

  ZipHandle handle = ZipOpenMemory(machine, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  ASSERT_NE(handle, nullptr);
  ZipEntryInfo count;
  ASSERT_EQ(ZipGetEntry(handle, -1, &count), ZipOk);
  ASSERT_EQ(count.index, 8);
  ASSERT_EQ(ZipSetBaseDirectory(handle, work.c_str()), ZipOk);
  std::vector<ZipStatus> statuses;
  for (std::int32_t index = 0; index < count.index; ++index) {
    ZipEntryInfo info;
    const ZipStatus status = ZipGetEntry(handle, index, &info);
    statuses.push_back(status != ZipOk ? status : ZipExtractEntry(handle, index, info.name));
  }
  EXPECT_EQ(ZipClose(handle), ZipOk);
  EXPECT_EQ(statuses, (std::vector<ZipStatus>{ZipOk, ZipOk, ZipOk, ZipOk, ZipOk, ZipCannotOpen, ZipInflateError, ZipOk}));

  const std::string x64 = work + "\\Windows x64";
  const std::string x86 = work + "\\Windows NT x86";
  // Times first: reading a file moves its access time. Wine keeps no creation time of its own
  // and reports the last write time in its place.
  const Times dos = TimesOf(x64 + "\\UNIDRV.DLL");
  EXPECT_EQ(dos.write, wine_test::PackageEntryTime());
  EXPECT_EQ(dos.access, wine_test::PackageEntryTime());
  EXPECT_EQ(dos.creation, wine_test::PackageEntryTime());
  EXPECT_EQ(TimesOf(work + "\\empty.txt").write, wine_test::PackageEntryTime());
  const std::uint64_t epoch = 116444736000000000ull;
  const Times stampedTimes = TimesOf(work + "\\stamped.txt");
  EXPECT_EQ(stampedTimes.write, epoch + 1600000000ull * 10000000);
  EXPECT_EQ(stampedTimes.access, epoch + 1600000100ull * 10000000);
  EXPECT_EQ(stampedTimes.creation, UnderWine() ? stampedTimes.write : epoch + 1500000000ull * 10000000);

  EXPECT_EQ(GetFileAttributesA(x64.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA(x86.c_str()) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(ReadFileText(x64 + "\\UNIDRV.DLL") == dll);
  EXPECT_EQ(GetFileAttributesA((x64 + "\\UNIDRV.DLL").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(GetFileAttributesA((x86 + "\\RCQ80C.GPD").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ReadFileText(x86 + "\\RCQ80C.GPD"), "*GPDFileVersion: \"1.0\"\r\n");
  EXPECT_EQ(GetFileAttributesA((x86 + "\\HIDDEN.TXT").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(ReadFileText(work + "\\empty.txt"), "");

  EXPECT_FALSE(wine_test::FileExists(work + "\\broken.bin"));
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  EXPECT_FALSE(wine_test::FileExists(std::string(temp) + "escape.txt"));
}

TEST_F(WineZipTest, ARemovedFailureLeavesNoReadOnlyFileAndAReadOnlyFileIsNotReplaced) {
  Entry readOnly("ro.bin", zip_test::Noise(50000));
  readOnly.externalAttributes = 0x21;
  const zip_test::Archive built = zip_test::Build({readOnly});
  std::string broken = built.bytes;
  for (std::size_t at : {built.central[0] + 16, built.local[0] + 14}) broken[at] = static_cast<char>(broken[at] ^ 1);
  std::vector<ZipStatus> statuses;
  const std::string* const runs[] = {&broken, &built.bytes, &built.bytes};
  for (const std::string* bytes : runs) {
    ZipHandle handle = ZipOpenMemory(machine, bytes->data(), static_cast<std::uint32_t>(bytes->size()));
    ASSERT_NE(handle, nullptr);
    ZipSetBaseDirectory(handle, work.c_str());
    ZipEntryInfo info;
    ASSERT_EQ(ZipGetEntry(handle, 0, &info), ZipOk);
    statuses.push_back(ZipExtractEntry(handle, 0, info.name));
    ZipClose(handle);
    if (bytes == &broken) {
      EXPECT_FALSE(wine_test::FileExists(work + "\\ro.bin"));
    }
  }
  // A read-only file of the entry's name is never replaced, even where the system would let it
  // be opened for writing (Wine run by the Unix root user).
  EXPECT_EQ(statuses, (std::vector<ZipStatus>{ZipInflateError, ZipOk, ZipCannotOpen}));
  EXPECT_EQ(ReadFileText(work + "\\ro.bin"), readOnly.data);
}

}  // namespace
