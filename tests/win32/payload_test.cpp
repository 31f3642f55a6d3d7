// The working directory and the embedded driver package with the Win32 back-end: the program's
// own ZIP resources unpacked into the prefix's temporary folder and cleaned up again.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "installer/driver_installer.h"
#include "payload/driver_payload.h"
#include "payload/working_directory.h"
#include "payload/zip_reader.h"
#include "platform/win32/win32_services.h"
#include "package_files.h"
#include "wine_support.h"
#include "zip_test_archive.h"

namespace {

std::string TempPath() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

// String 100 (the paper-size feature's name) of a minidriver DLL, loaded as data whatever its
// processor architecture.
std::wstring PaperSizeName(const std::string& dll) {
  HMODULE module = LoadLibraryExA(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return L"(not loadable)";
  wchar_t text[64] = {};
  LoadStringW(module, 100, text, 64);
  FreeLibrary(module);
  return text;
}

class WinePayloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work = TempPath() + "Quarl2020\\";
    sentinel = TempPath() + "payload-sentinel.txt";
    ASSERT_TRUE(wine_test::WriteTextFile(sentinel, "beside the working directory"));
    machine = win32::MachinePlatform();
    machine.messages = &messages;
    // Built before any working directory is entered, as the dialog builds it: its construction
    // starts "net start spooler", which runs in (and holds) the current directory for a while.
    installer.reset(new CDriverInstaller(machine));
  }

  void TearDown() override {
    SetCurrentDirectoryA("C:\\");
    DeleteFileA(sentinel.c_str());
    DeleteFileA(WorkWithoutSeparator().c_str());
    wine_test::RemoveTree(WorkWithoutSeparator());
    if (!start.empty()) wine_test::RemoveTree(start);
  }

  std::string WorkWithoutSeparator() const { return work.substr(0, work.size() - 1); }

  std::string work;
  std::string start;
  std::string sentinel;
  platform::Platform machine;
  wine_test::RecordingMessageBox messages;
  std::unique_ptr<CDriverInstaller> installer;
};

TEST_F(WinePayloadTest, UnpacksThePackageOfTheLanguageAndCleansUpAfterIt) {
  struct Case {
    std::int32_t language;
    const wchar_t* paperSize;
  };
  const Case cases[] = {{2052, L"纸张尺寸"}, {1033, L"Paper Size"}};
  CreateDirectoryA(work.c_str(), nullptr);
  ASSERT_TRUE(wine_test::WriteTextFile(work + "leftover.txt", "from an earlier run"));

  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    WorkingDirectory directory = EnterWorkingDirectory(*machine.files);
    ASSERT_TRUE(directory.entered);
    EXPECT_EQ(directory.path, work);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "\\", work);

    EXPECT_TRUE(ExtractDriverPayload(machine, directory.path, c.language));

    for (const std::string& file : package_files::All()) {
      WIN32_FILE_ATTRIBUTE_DATA data = {};
      ASSERT_TRUE(GetFileAttributesExA((work + file).c_str(), GetFileExInfoStandard, &data)) << file;
      EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)) << file;
      EXPECT_EQ(wine_test::FileTimeValue(data.ftLastWriteTime), wine_test::PackageEntryTime()) << file;
      EXPECT_EQ(wine_test::FileTimeValue(data.ftLastAccessTime), wine_test::PackageEntryTime()) << file;
      EXPECT_EQ(wine_test::FileTimeValue(data.ftCreationTime), wine_test::PackageEntryTime()) << file;  // Wine gives the write time
      EXPECT_GT(data.nFileSizeLow, 0u) << file;
    }
    for (const char* dll : {"Windows NT x86\\RCQ80.DLL", "Windows NT x86\\ZN80.DLL", "Windows x64\\RCQ80.DLL",
                            "Windows x64\\ZN80.DLL"}) {
      EXPECT_EQ(PaperSizeName(work + dll), c.paperSize) << dll;
    }

    CleanWorkingDirectory(*installer, directory);
    ReleaseWorkingDirectory(*machine.files, &directory);
    EXPECT_EQ(wine_test::FolderEntries(WorkWithoutSeparator()), std::vector<std::string>{});
    EXPECT_NE(GetFileAttributesA(work.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(wine_test::FileExists(sentinel));
  }
}

TEST_F(WinePayloadTest, AWorkingDirectoryThatCannotBeEnteredIsNotCleaned) {
  // A file where the working directory belongs: it cannot be created or entered.
  ASSERT_TRUE(wine_test::WriteTextFile(WorkWithoutSeparator(), "in the way"));
  start = wine_test::ScratchFolder("payload-start");
  ASSERT_TRUE(wine_test::WriteTextFile(start + "\\precious.txt", "keep"));
  ASSERT_TRUE(SetCurrentDirectoryA(start.c_str()));

  const WorkingDirectory directory = EnterWorkingDirectory(*machine.files);
  EXPECT_FALSE(directory.entered);
  CleanWorkingDirectory(*installer, directory);

  EXPECT_TRUE(wine_test::FileExists(start + "\\precious.txt"));
}

// The real back-end's held directory. Wine makes no symbolic links or junctions
// (CreateSymbolicLinkA returns TRUE and makes nothing), so every case with a link or a junction
// is tested on the simulated machine only.
TEST_F(WinePayloadTest, TheHeldWorkingDirectoryCannotBeRenamedOrRemoved) {
  WorkingDirectory directory = EnterWorkingDirectory(*machine.files);
  ASSERT_TRUE(directory.entered);
  SetCurrentDirectoryA("C:\\");  // the current directory would hold it as well
  const std::string moved = TempPath() + "Quarl2020-moved";
  EXPECT_FALSE(MoveFileA(WorkWithoutSeparator().c_str(), moved.c_str()));
  EXPECT_FALSE(RemoveDirectoryA(WorkWithoutSeparator().c_str()));
  ReleaseWorkingDirectory(*machine.files, &directory);
  ASSERT_TRUE(MoveFileA(WorkWithoutSeparator().c_str(), moved.c_str()));
  EXPECT_TRUE(MoveFileA(moved.c_str(), WorkWithoutSeparator().c_str()));
}

// Entries named for a DOS device or a data stream are refused by name; a hard link planted in an
// entry's place is replaced by a new file, and the file it shares its data with stays as it was.
TEST_F(WinePayloadTest, UnpacksOnlyNewPlainFiles) {
  CreateDirectoryA(work.c_str(), nullptr);
  ASSERT_TRUE(CreateHardLinkA((work + "linked.txt").c_str(), sentinel.c_str(), nullptr));
  const zip_test::Archive built = zip_test::Build({{"linked.txt", "from the package"}});
  ZipHandle handle = ZipOpenMemory(machine, built.bytes.data(), static_cast<std::uint32_t>(built.bytes.size()));
  ASSERT_NE(handle, nullptr);
  ZipSetBaseDirectory(handle, work.c_str());
  for (const char* name : {"CON", "nul.txt", "sub/AUX", "COM1.log", "LPT1", "CONOUT$", "entry.txt:stream"}) {
    EXPECT_EQ(ZipExtractEntry(handle, 0, name), ZipCannotOpen) << name;
  }
  EXPECT_EQ(ZipExtractEntry(handle, 0, "linked.txt"), ZipOk);
  ZipClose(handle);
  EXPECT_EQ(wine_test::FolderEntries(WorkWithoutSeparator()), std::vector<std::string>{"linked.txt"});
  EXPECT_EQ(wine_test::ReadWholeFile(work + "linked.txt"), "from the package");
  EXPECT_EQ(wine_test::ReadWholeFile(sentinel), "beside the working directory");
}

}  // namespace
