// The working directory, the driver package's unpacking and the cleanup, on a simulated machine
// that holds the real package archives of this build as its resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "installer/driver_installer.h"
#include "payload/driver_payload.h"
#include "payload/working_directory.h"
#include "payload/zip_reader.h"
#include "platform/sim/sim_machine.h"
#include "package_files.h"

namespace {

const char kTemp[] = "C:\\Users\\user\\AppData\\Local\\Temp\\";
const char kWork[] = "C:\\Users\\user\\AppData\\Local\\Temp\\Quarl2020\\";

std::string HostFile(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  return bytes.str();
}

// A string-table entry as a resource DLL holds it: a UTF-16 length, then the UTF-16 text.
std::string StringTableEntry(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : std::u16string(1, static_cast<char16_t>(text.size())) + text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class PayloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.resources.PutFile(129, "ZIP", SETUP_DRIVER_PACKAGE_129));
    ASSERT_TRUE(machine.resources.PutFile(138, "ZIP", SETUP_DRIVER_PACKAGE_138));
  }

  // The start-up steps and the cleanup at the dialog's end, as the application runs them.
  WorkingDirectory Enter() { return EnterWorkingDirectory(machine.files); }
  void Clean(WorkingDirectory& directory) {
    CDriverInstaller installer(machine.platform());
    CleanWorkingDirectory(installer, directory);
    ReleaseWorkingDirectory(machine.files, &directory);
  }

  // Everything below the working directory, relative to it, sorted.
  std::vector<std::string> Contents() {
    std::vector<std::string> names;
    const std::filesystem::path root = machine.files.HostPath(kWork);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      names.push_back(std::filesystem::relative(entry.path(), root).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  sim::SimMachine machine;
};

TEST_F(PayloadTest, EnteringFormsTheDirectoryUnderTheTemporaryFolderAndMakesItCurrent) {
  WorkingDirectory directory = Enter();
  EXPECT_STREQ(directory.path, kWork);
  EXPECT_TRUE(directory.entered);
  EXPECT_TRUE(machine.files.IsDirectory(kWork));
  EXPECT_EQ(machine.files.currentDirectory, machine.files.Absolute(kWork));
  EXPECT_EQ(machine.TraceOf("CreateDirectoryA").size(), 1u);
}

// Both package variants unpack completely; the language picks the variant whose minidriver DLLs
// carry the option names in that language, and every file gets the archive's time and attribute.
TEST_F(PayloadTest, TheUiLanguagePicksThePackageVariant) {
  struct Case {
    std::int32_t language;
    std::uint16_t resource;
    const char* variant;
    std::u16string paperSize;
  };
  const Case cases[] = {
      {2052, 129, "chinese", u"纸张尺寸"},
      {1033, 138, "english", u"Paper Size"},
      {1028, 138, "english", u"Paper Size"},
  };
  // 2021-07-28 11:22:48 local time in a time zone eight hours ahead of UTC.
  machine.system.utcOffsetMinutes = 480;
  const std::uint64_t packageTime =
      static_cast<std::uint64_t>((sim::DaysFromCivil(2021, 7, 28) * 86400 + 3 * 3600 + 22 * 60 + 48)) * 10000000 +
      116444736000000000ull;

  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    WorkingDirectory directory = Enter();
    ASSERT_TRUE(directory.entered);
    machine.trace.clear();
    EXPECT_TRUE(ExtractDriverPayload(machine.platform(), directory.path, c.language));

    EXPECT_EQ(machine.TraceOf("FindResourceA"), std::vector<std::string>{"FindResourceA " + std::to_string(c.resource) + " zip"});
    EXPECT_EQ(machine.TraceOf("CreateFileA").size(), 28u);
    for (const char* folder : {"Windows NT x86", "Windows x64"}) EXPECT_TRUE(machine.files.IsDirectory(std::string(kWork) + folder));
    for (const std::string& file : package_files::All()) {
      const std::string path = kWork + file;
      EXPECT_EQ(machine.files.GetFileAttributes(path.c_str()), platform::kFileAttributeArchive) << file;
      const sim::FileTimes times = machine.files.Times(path);
      EXPECT_EQ(times.write, packageTime) << file;
      EXPECT_EQ(times.access, packageTime) << file;
      EXPECT_EQ(times.creation, packageTime) << file;
    }
    for (const char* arch : {"x86", "x64"}) {
      const std::string folder = std::string(arch) == "x86" ? "Windows NT x86\\" : "Windows x64\\";
      for (const char* dll : {"RCQ80.DLL", "ZN80.DLL"}) {
        SCOPED_TRACE(folder + dll);
        const std::string built = HostFile(std::string(SETUP_DRIVER_PACKAGE_DIR) + "/" + c.variant + "/" + arch + "/" + dll);
        const auto unpacked = machine.files.ReadFile(kWork + folder + dll);
        ASSERT_TRUE(unpacked.has_value());
        EXPECT_EQ(*unpacked, built);
        EXPECT_NE(unpacked->find(StringTableEntry(c.paperSize)), std::string::npos);
      }
    }
    Clean(directory);
    EXPECT_TRUE(Contents().empty());
  }
}

// The archives as built: each folder entry followed by its six system and four ZN80 files, then
// the eight RT5140 files in an order of the variant's own; DOS attributes 0x10 and 0x20.
TEST_F(PayloadTest, ThePackagesListTheirEntriesInTheShippedOrder) {
  const auto zn = [](const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names = {folder + "/"};
    for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"}) {
      names.push_back(folder + "/" + name);
    }
    for (const std::string& name : {"ZNDRV" + suffix + ".INF", std::string("ZN80.DLL"), std::string("ZN80C.GPD"),
                                   "ZNDRV" + suffix + ".cat"}) {
      names.push_back(folder + "/" + name);
    }
    return names;
  };
  const auto rcq = [](const std::string& folder, const std::string& suffix) {
    return std::vector<std::string>{folder + "/RCQ80.DLL", folder + "/RCQ80C.GPD", folder + "/RCQDRV" + suffix + ".INF",
                                    folder + "/RCQDRV" + suffix + ".cat"};
  };
  const auto join = [](std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const std::vector<std::string> common = join({zn("Windows x64", "x64"), zn("Windows NT x86", "")});
  const struct {
    const char* archive;
    std::vector<std::string> names;
  } cases[] = {
      {SETUP_DRIVER_PACKAGE_129, join({common, rcq("Windows x64", "x64"), rcq("Windows NT x86", "")})},
      {SETUP_DRIVER_PACKAGE_138, join({common, rcq("Windows NT x86", ""), rcq("Windows x64", "x64")})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    const std::string bytes = HostFile(c.archive);
    ZipHandle archive = ZipOpenMemory(machine.platform(), bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    ASSERT_NE(archive, nullptr);
    ZipEntryInfo entry;
    ASSERT_EQ(ZipGetEntry(archive, -1, &entry), ZipOk);
    std::vector<std::string> names;
    for (std::int32_t index = 0; index < entry.index; ++index) {
      ZipEntryInfo info;
      ASSERT_EQ(ZipGetEntry(archive, index, &info), ZipOk);
      names.push_back(info.name);
      const bool folder = names.back().back() == '/';
      EXPECT_EQ(info.attributes, folder ? platform::kFileAttributeDirectory : platform::kFileAttributeArchive) << info.name;
    }
    ZipClose(archive);
    EXPECT_EQ(names, c.names);
  }
}

TEST_F(PayloadTest, AMissingOrUnreadableResourceUnpacksNothing) {
  struct Case {
    const char* name;
    void (*arrange)(sim::SimMachine&);
  };
  const Case cases[] = {
      {"no resource", [](sim::SimMachine&) {}},
      {"lookup fails",
       [](sim::SimMachine& m) {
         m.resources.PutFile(138, "ZIP", SETUP_DRIVER_PACKAGE_138);
         m.faults.Fail("FindResourceA", 1814);
       }},
      {"loading fails",
       [](sim::SimMachine& m) {
         m.resources.PutFile(138, "ZIP", SETUP_DRIVER_PACKAGE_138);
         m.faults.Fail("LoadResource", 8);
       }},
      {"no archive", [](sim::SimMachine& m) { m.resources.Put(138, "ZIP", std::string(64, 'x')); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimMachine fresh;
    c.arrange(fresh);
    const WorkingDirectory directory = EnterWorkingDirectory(fresh.files);
    EXPECT_FALSE(ExtractDriverPayload(fresh.platform(), directory.path, 1033));
    EXPECT_TRUE(fresh.TraceOf("CreateFileA").empty());
    EXPECT_TRUE(std::filesystem::is_empty(fresh.files.HostPath(kWork)));
  }
}

// A later run reuses the directory an earlier run left, unpacks over it, and its cleanup empties
// the directory (leftovers included, deepest folders first) but nothing beside it.
TEST_F(PayloadTest, ARunReusesTheDirectoryAndLeavesItEmpty) {
  machine.files.PutFile(std::string(kWork) + "Windows x64\\UNIDRV.DLL", "from an earlier run");
  machine.files.PutFile(std::string(kWork) + "left\\over\\deep\\file.txt", "leftover");
  machine.files.PutFile(std::string(kWork) + "left\\note.txt", "leftover");
  machine.files.PutFile(std::string(kTemp) + "sentinel.txt", "beside the working directory");

  WorkingDirectory directory = Enter();
  ASSERT_TRUE(directory.entered);
  EXPECT_TRUE(ExtractDriverPayload(machine.platform(), directory.path, 1033));
  EXPECT_NE(machine.files.ReadFile(std::string(kWork) + "Windows x64\\UNIDRV.DLL"), "from an earlier run");
  machine.trace.clear();
  Clean(directory);

  EXPECT_TRUE(Contents().empty());
  EXPECT_TRUE(machine.files.IsDirectory(kWork));
  EXPECT_EQ(machine.files.ReadFile(std::string(kTemp) + "sentinel.txt"), "beside the working directory");
  const std::vector<std::string> removed = machine.TraceOf("RemoveDirectoryA");
  const auto at = [&](const std::string& tail) {
    return std::find_if(removed.begin(), removed.end(), [&](const std::string& line) {
             return line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
           }) - removed.begin();
  };
  EXPECT_LT(at("left\\over\\deep"), at("left\\over"));
  EXPECT_LT(at("left\\over"), at("Quarl2020\\left"));
  EXPECT_EQ(removed.size(), 5u);  // the two package folders and the three leftover ones
}

TEST_F(PayloadTest, AReadOnlyFileSurvivesWithTheFoldersAboveIt) {
  WorkingDirectory directory = Enter();
  EXPECT_TRUE(ExtractDriverPayload(machine.platform(), directory.path, 1033));
  machine.files.PutFile(std::string(kWork) + "kept\\inner\\locked.txt", "read only",
                        platform::kFileAttributeReadOnly | platform::kFileAttributeArchive);
  machine.files.PutFile(std::string(kWork) + "kept\\inner\\gone.txt", "deletable");
  Clean(directory);
  EXPECT_EQ(Contents(), (std::vector<std::string>{"kept", "kept/inner", "kept/inner/locked.txt"}));
}

// Links inside the working directory are removed as links: what they point at stays untouched.
TEST_F(PayloadTest, ALinkInsideTheDirectoryIsNeverFollowed) {
  WorkingDirectory directory = Enter();
  machine.files.PutFile("C:\\Outside\\sentinel.txt", "outside");
  machine.files.PutFile("C:\\Outside\\nested\\file.txt", "outside");
  const std::filesystem::path work = machine.files.HostPath(kWork);
  std::filesystem::create_directory_symlink(machine.files.HostPath("C:\\Outside"), work / "junction");
  std::filesystem::create_symlink(machine.files.HostPath("C:\\Outside\\sentinel.txt"), work / "file-link.txt");
  machine.files.PutFile(std::string(kWork) + "plain.txt", "inside");

  Clean(directory);

  EXPECT_TRUE(Contents().empty());
  EXPECT_EQ(machine.files.ReadFile("C:\\Outside\\sentinel.txt"), "outside");
  EXPECT_EQ(machine.files.ReadFile("C:\\Outside\\nested\\file.txt"), "outside");
}

// Another program swaps a folder for a junction between the listing of its parent and the step
// into it, at the first or the second level: what the junction points at is never emptied, the
// junction goes as a link, and the rest is cleaned as usual.
TEST_F(PayloadTest, AFolderSwappedForAJunctionDuringTheCleanupIsNotEntered) {
  const struct {
    const char* listed;   // the folder whose listing the swap follows
    const char* swapped;  // the folder swapped for a junction
  } cases[] = {
      {"", "sub"},
      {"sub", "sub\\deeper"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.swapped);
    sim::SimMachine fresh;
    fresh.files.PutFile("C:\\Outside\\precious.txt", "outside");
    fresh.files.PutFile("C:\\Outside\\nested\\file.txt", "outside");
    fresh.files.PutFile(std::string(kWork) + "sub\\deeper\\x.txt", "x");
    fresh.files.PutFile(std::string(kWork) + "sub\\y.txt", "y");
    WorkingDirectory directory = EnterWorkingDirectory(fresh.files);
    ASSERT_TRUE(directory.entered);
    const std::string listed = fresh.files.Absolute(std::string(kWork) + c.listed);
    bool swapped = false;
    fresh.files.between = [&](const std::string& call, const std::string& path) {
      if (call != "FindFiles" || path != listed || swapped) return;
      swapped = fresh.files.SwapForJunction(std::string(kWork) + c.swapped, "C:\\Outside", "C:\\Moved");
    };
    CDriverInstaller installer(fresh.platform());
    CleanWorkingDirectory(installer, directory);
    ReleaseWorkingDirectory(fresh.files, &directory);

    EXPECT_TRUE(swapped);
    EXPECT_EQ(fresh.files.ReadFile("C:\\Outside\\precious.txt"), "outside");
    EXPECT_EQ(fresh.files.ReadFile("C:\\Outside\\nested\\file.txt"), "outside");
    EXPECT_TRUE(std::filesystem::is_empty(fresh.files.HostPath(kWork)));
    EXPECT_EQ(fresh.files.OpenDirectoryCount(), 0u);
  }
}

// A listed name that holds a separator is left alone: joined to the folder's path it would name
// something outside (a narrow listing can turn a look-alike character into a real separator).
TEST_F(PayloadTest, AListedNameHoldingASeparatorIsLeftAlone) {
  machine.files.PutFile(std::string(kTemp) + "victim.txt", "beside the working directory");
  machine.files.PutFile(std::string(kTemp) + "kept\\file.txt", "beside the working directory");
  WorkingDirectory directory = Enter();
  ASSERT_TRUE(directory.entered);
  const std::filesystem::path work = machine.files.HostPath(kWork);
  std::ofstream(work / "..\\victim.txt") << "planted";
  std::filesystem::create_directory(work / "..\\kept");

  Clean(directory);

  EXPECT_EQ(machine.files.ReadFile(std::string(kTemp) + "victim.txt"), "beside the working directory");
  EXPECT_EQ(machine.files.ReadFile(std::string(kTemp) + "kept\\file.txt"), "beside the working directory");
  EXPECT_EQ(Contents(), (std::vector<std::string>{"..\\kept", "..\\victim.txt"}));
}

// From entering to its release the working directory is held: another program can neither
// remove it nor swap it for a junction, while the package is unpacked or afterwards.
TEST_F(PayloadTest, TheWorkingDirectoryIsHeldUntilItsRelease) {
  WorkingDirectory directory = Enter();
  ASSERT_TRUE(directory.entered);
  EXPECT_TRUE(ExtractDriverPayload(machine.platform(), directory.path, 1033));
  EXPECT_EQ(machine.files.OpenDirectoryCount(), 1u);
  EXPECT_FALSE(machine.files.SwapForJunction(kWork, "C:\\Outside", "C:\\Moved"));
  EXPECT_FALSE(machine.files.RemoveDirectory(kWork));
  Clean(directory);
  EXPECT_EQ(directory.held, 0u);
  EXPECT_EQ(machine.files.OpenDirectoryCount(), 0u);
  EXPECT_TRUE(machine.files.SwapForJunction(kWork, "C:\\Outside", "C:\\Moved"));
}

// Whenever the working directory could not be formed, created as a directory of its own, or made
// current, the run neither enters nor cleans anything: not the current directory the process
// started in, not what a planted link at the working directory's place points at.
TEST_F(PayloadTest, ADirectoryThatWasNotEnteredIsNotCleaned) {
  struct Case {
    const char* name;
    void (*arrange)(sim::SimMachine&);
  };
  const Case cases[] = {
      {"cannot be made current", [](sim::SimMachine& m) { m.faults.Fail("SetCurrentDirectoryA", 5); }},
      {"no temporary path", [](sim::SimMachine& m) { m.faults.Fail("GetTempPathA", 5); }},
      {"a link in its place",
       [](sim::SimMachine& m) {
         std::filesystem::create_directory_symlink(m.files.HostPath("C:\\Data"), m.files.HostPath(kTemp) / "Quarl2020");
       }},
      {"a file in its place", [](sim::SimMachine& m) { m.files.PutFile(std::string(kTemp) + "Quarl2020", "a file"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimMachine fresh;
    fresh.files.PutFile("C:\\Data\\precious.txt", "keep");
    fresh.files.SetCurrentDirectory("C:\\Data");
    c.arrange(fresh);

    const WorkingDirectory directory = EnterWorkingDirectory(fresh.files);
    EXPECT_FALSE(directory.entered);
    EXPECT_EQ(fresh.files.currentDirectory, "C:\\Data");
    CDriverInstaller installer(fresh.platform());
    CleanWorkingDirectory(installer, directory);

    EXPECT_TRUE(fresh.TraceOf("DeleteFileA").empty());
    EXPECT_TRUE(fresh.TraceOf("RemoveDirectoryA").empty());
    EXPECT_EQ(fresh.files.ReadFile("C:\\Data\\precious.txt"), "keep");
  }
}

TEST_F(PayloadTest, APathThatDoesNotFitIsNeitherFormedNorCreated) {
  machine.files.tempPath = "C:\\" + std::string(247, 't') + "\\";  // 251 bytes: 261 with "Quarl2020\"
  machine.files.PutDirectory(machine.files.tempPath);
  WorkingDirectory directory = Enter();
  EXPECT_STREQ(directory.path, "");
  EXPECT_FALSE(directory.entered);
  EXPECT_TRUE(machine.TraceOf("CreateDirectoryA").empty());
}

}  // namespace
