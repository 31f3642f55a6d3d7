// The ZIP reader as the program uses it: entry information, unpacking under a base directory
// on the simulated machine, and the refusals of unsafe or damaged entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "payload/zip_archive.h"
#include "payload/zip_names.h"
#include "payload/zip_reader.h"
#include "platform/sim/sim_machine.h"
#include "zip_test_archive.h"

namespace {

using zip_test::Archive;
using zip_test::Build;
using zip_test::Entry;

const char kBase[] = "C:\\work\\";

// 100 ns units since 1601 of a UTC calendar time.
std::uint64_t FileTime(int year, unsigned month, unsigned day, int hour, int minute, int second) {
  const std::int64_t days = sim::DaysFromCivil(year, month, day) + 134774;
  return static_cast<std::uint64_t>((days * 86400 + hour * 3600 + minute * 60 + second) * 10000000LL);
}

const std::uint64_t kDosTime = FileTime(2021, 7, 28, 11, 22, 48);  // the builder's default DOS time

// Runs a shell command of the test's own (an independent archive writer); false when it failed.
bool RunShell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::ostringstream content;
  content << stream.rdbuf();
  return content.str();
}

class ZipReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { machine.files.PutDirectory(kBase); }
  void TearDown() override {
    ZipClose(handle);
    zip_memory::FailAfter(-1);
  }

  ZipHandle Open(const std::string& bytes) {
    ZipClose(handle);
    block = bytes;
    handle = ZipOpenMemory(machine.platform(), block.data(), static_cast<std::uint32_t>(block.size()));
    if (handle != nullptr) ZipSetBaseDirectory(handle, kBase);
    return handle;
  }

  // The program's pattern: the count query, then information and unpacking of every index.
  std::vector<ZipStatus> UnpackAll() {
    std::vector<ZipStatus> statuses;
    ZipEntryInfo info;
    if (ZipGetEntry(handle, -1, &info) != ZipOk) return statuses;
    for (std::int32_t index = 0; index < info.index; ++index) {
      ZipEntryInfo entry;
      const ZipStatus status = ZipGetEntry(handle, index, &entry);
      statuses.push_back(status != ZipOk ? status : ZipExtractEntry(handle, index, entry.name));
    }
    return statuses;
  }

  ZipEntryInfo Info(std::int32_t index) {
    ZipEntryInfo info;
    EXPECT_EQ(ZipGetEntry(handle, index, &info), ZipOk);
    return info;
  }

  sim::SimMachine machine;
  std::string block;
  ZipHandle handle = nullptr;
};

TEST_F(ZipReaderTest, UnpacksADosArchiveOfAnIndependentWriterAsTheProgramDoes) {
  const std::filesystem::path archive = std::filesystem::path(ZIP_FIXTURE_DIR) / "dos.zip";
  std::filesystem::create_directories(archive.parent_path());
  const std::string script =
      "import sys, zipfile\n"
      "def add(z, name, data, attributes, method):\n"
      "    info = zipfile.ZipInfo(name, (2021, 7, 28, 11, 22, 48))\n"
      "    info.create_system = 0\n"
      "    info.external_attr = attributes\n"
      "    info.compress_type = method\n"
      "    z.writestr(info, data)\n"
      "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
      "    add(z, 'Windows x64/UNIDRV.DLL', bytes(range(256)) * 300, 0x20, zipfile.ZIP_DEFLATED)\n"
      "    add(z, 'Windows x64/', b'', 0x10, zipfile.ZIP_STORED)\n"
      "    add(z, 'Windows NT x86/', b'', 0x10, zipfile.ZIP_STORED)\n"
      "    add(z, 'Windows NT x86/ZNDRV.INF', b'[Version]\\r\\n' * 5000, 0x20, zipfile.ZIP_DEFLATED)\n"
      "    add(z, 'Windows NT x86/EMPTY.GPD', b'', 0x20, zipfile.ZIP_DEFLATED)\n";
  std::ofstream(archive.parent_path() / "dos.py") << script;
  // The set-up installs python3: a missing one fails the test rather than skipping it.
  ASSERT_TRUE(RunShell("python3 '" + (archive.parent_path() / "dos.py").string() + "' '" + archive.string() + "'"))
      << "python3 with zipfile did not write the archive";
  machine.system.utcOffsetMinutes = 480;
  ASSERT_NE(Open(ReadHostFile(archive)), nullptr);
  ZipEntryInfo count;
  ASSERT_EQ(ZipGetEntry(handle, -1, &count), ZipOk);
  EXPECT_EQ(count.index, 5);
  EXPECT_STREQ(count.name, "");
  EXPECT_EQ(count.attributes | count.writeTime | count.compressedSize | count.uncompressedSize, 0u);

  EXPECT_EQ(UnpackAll(), std::vector<ZipStatus>(5, ZipOk));
  std::string dll;
  for (int i = 0; i < 300; ++i) for (int b = 0; b < 256; ++b) dll += static_cast<char>(b);
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\Windows x64\\UNIDRV.DLL"), dll);
  std::string inf;
  for (int i = 0; i < 5000; ++i) inf += "[Version]\r\n";
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\Windows NT x86\\ZNDRV.INF"), inf);
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\Windows NT x86\\EMPTY.GPD"), "");
  EXPECT_TRUE(machine.files.IsDirectory("C:\\work\\Windows x64"));
  EXPECT_EQ(machine.files.GetFileAttributes("C:\\work\\Windows NT x86\\ZNDRV.INF"), platform::kFileAttributeArchive);
  const sim::FileTimes times = machine.files.Times("C:\\work\\Windows NT x86\\EMPTY.GPD");
  const std::uint64_t utc = kDosTime - 8ull * 3600 * 10000000;
  EXPECT_EQ(times.write, utc);
  EXPECT_EQ(times.access, utc);
  EXPECT_EQ(times.creation, utc);
  // The file came before its folder's entry: the folder was made for it, and its own entry wrote
  // no file. Paths are joined without extra separators.
  const std::vector<std::string> created = machine.TraceOf("CreateFileA");
  ASSERT_EQ(created.size(), 3u);
  EXPECT_EQ(created[0], "CreateFileA C:\\work\\Windows x64/UNIDRV.DLL");
  EXPECT_EQ(machine.files.OpenFileCount(), 0u);
}

TEST_F(ZipReaderTest, TakesUnixAttributesAndExtendedTimestampsOfAnIndependentWriter) {
  const std::filesystem::path folder = std::filesystem::path(ZIP_FIXTURE_DIR) / "unix";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "tree" / "sub");
  std::ofstream(folder / "tree" / "sub" / "writable.txt") << "writable";
  std::ofstream(folder / "tree" / "readonly.txt") << "read only";
  const std::string tree = (folder / "tree").string();
  const bool made = RunShell("cd '" + tree + "' && chmod 644 sub/writable.txt && chmod 444 readonly.txt && "
                        "touch -d '2020-02-03 04:05:06 UTC' sub/writable.txt readonly.txt && "
                        "zip -q -r -X ../unix.zip sub readonly.txt >/dev/null 2>&1");
  ASSERT_TRUE(made) << "the zip command did not write the archive";  // the set-up installs zip
  // zip adds an extended timestamp with the modification time (and the access time in the
  // local header); the writable file's mode has bit 23 set, the directory's has bit 30.
  ASSERT_NE(Open(ReadHostFile(folder / "unix.zip")), nullptr);
  ZipEntryInfo count = Info(-1);
  ASSERT_EQ(count.index, 3);
  for (std::int32_t index = 0; index < 3; ++index) {
    const ZipEntryInfo info = Info(index);
    const std::string name = info.name;
    SCOPED_TRACE(name);
    if (name == "sub/") {
      EXPECT_EQ(info.attributes, 0x30u);
    } else {
      EXPECT_EQ(info.attributes, name == "readonly.txt" ? 0x21u : 0x20u);
      EXPECT_EQ(info.writeTime, FileTime(2020, 2, 3, 4, 5, 6));
    }
    EXPECT_EQ(ZipExtractEntry(handle, index, info.name), ZipOk);
  }
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\sub\\writable.txt"), "writable");
  EXPECT_EQ(machine.files.GetFileAttributes("C:\\work\\readonly.txt"), 0x21u);
  EXPECT_EQ(machine.files.Times("C:\\work\\readonly.txt").write, FileTime(2020, 2, 3, 4, 5, 6));
}

TEST_F(ZipReaderTest, AnswersTheCountQueryFirstAndRefusesIndicesOutsideTheArchive) {
  ASSERT_NE(Open(Build({{"a", "1"}, {"b", "2"}}).bytes), nullptr);
  EXPECT_EQ(Info(-1).index, 2);  // nothing is cached yet: the count, not an empty cache entry
  EXPECT_STREQ(Info(1).name, "b");
  EXPECT_EQ(Info(-1).index, 2);
  EXPECT_STREQ(Info(1).name, "b");
  ZipEntryInfo info;
  for (std::int32_t index : {-2, 2, 1000}) {
    EXPECT_EQ(ZipGetEntry(handle, index, &info), ZipBadArgument) << index;
    EXPECT_EQ(ZipExtractEntry(handle, index, "x"), ZipBadArgument) << index;
  }
  EXPECT_EQ(ZipExtractEntry(handle, -1, "x"), ZipBadArgument);
  EXPECT_EQ(ZipGetEntry(handle, 0, nullptr), ZipBadArgument);
  EXPECT_EQ(ZipGetEntry(nullptr, 0, &info), ZipBadArgument);
  EXPECT_EQ(ZipSetBaseDirectory(nullptr, kBase), ZipBadArgument);
  EXPECT_EQ(ZipExtractEntry(nullptr, 0, "a"), ZipBadArgument);
  EXPECT_EQ(ZipClose(nullptr), ZipBadArgument);
  const char empty[] = "";
  EXPECT_EQ(ZipOpenMemory(machine.platform(), empty, 0), nullptr);
  EXPECT_EQ(ZipOpenMemory(machine.platform(), nullptr, 100), nullptr);
}

TEST(ZipNamesTest, SanitisesStoredNamesRuleByRule) {
  struct Case {
    const char* stored;
    const char* handedOut;
  };
  const Case cases[] = {
      {"C:\\dir\\file.txt", "dir\\file.txt"},
      {"C:/\\//dir/file", "dir/file"},
      {"one/two/../file.txt", "file.txt"},
      {"a\\..\\b/c/../d", "d"},
      {"a/../b\\..\\c", "c"},            // "\..\" is tried first, though "/../" comes earlier
      {"Windows x64/UNIDRV.DLL", "Windows x64/UNIDRV.DLL"},
      {"C:\\\\/", ""},
      {"x:y:z", "z"},
      {"\\..\\..\\evil", "evil"},
      {"../evil", "../evil"},            // no rule reaches a leading ".." (refused on unpacking)
      {"a/..", "a/.."},
      {"\x95\\..\\name", "\x95\\..\\name"},  // 0x95 0x5C is one character: no "\..\" begins there
      {"\xB1\xED/../name", "name"},
      {"\x96/../name", "name"},             // "/" is no trail byte: 0x96 stands alone
  };
  for (const Case& c : cases) EXPECT_STREQ(zip_names::SanitisedName(c.stored), c.handedOut) << c.stored;
}

TEST(ZipNamesTest, FindsTheLastSeparatorAndParentComponentsCharacterWise) {
  EXPECT_STREQ(zip_names::LastSeparator("dir/sub\\file"), "\\file");
  EXPECT_STREQ(zip_names::LastSeparator("dir/\x95\\x"), "/\x95\\x");
  EXPECT_EQ(zip_names::LastSeparator("file"), nullptr);
  EXPECT_EQ(zip_names::FindText("\x81", "\\"), nullptr);  // a lone lead byte at the end is a byte
  struct Case {
    const char* name;
    bool inside;
  };
  const Case cases[] = {{"dir/file", true}, {"", true},          {"./a", true},     {"a..b/c", true},
                        {"\x95\\..", false}, {"..", false},       {"../a", false},   {"..\\a", false},
                        {"a/..", false},    {"a\\..\\b", false}, {"a/... /b", false}, {".. ", false},
                        {"\x96/..\\x", false}, {"\x95\\x", true}};
  for (const Case& c : cases) EXPECT_EQ(zip_names::StaysInside(c.name), c.inside) << c.name;
}

TEST_F(ZipReaderTest, HandsOutSanitisedNamesAndAttributesByHostSystem) {
  struct Case {
    const char* stored;
    std::uint16_t madeBy;
    std::uint32_t external;
    const char* name;
    std::uint32_t attributes;
  };
  const Case cases[] = {
      {"C:\\a.txt", 0x0014, 0x20, "a.txt", 0x20},
      {"one/two/../f", 0x0014, 0x10, "f", 0x10},
      {"f", 0x0014, 0x21, "f", 0x21},
      {"f", 0x0014, 0x07, "f", 0x07},
      {"f", 0x0714, 0x02, "f", 0x02},         // host 7
      {"f", 0x0B14, 0x01, "f", 0x01},         // host 11
      {"f", 0x0E14, 0x04, "f", 0x04},         // host 14
      {"f", 0x0314, 0x81A40000, "f", 0x20},   // -rw-r--r--
      {"f", 0x0314, 0x81240000, "f", 0x21},   // -r--r--r--
      {"d", 0x0314, 0x41ED0000, "d", 0x30},   // drwxr-xr-x
      {"f", 0x0A14, 0x81240000, "f", 0x21},   // host 10 like host 3
      {"f", 0x0314, 0x00000010, "f", 0x21},   // the low byte does not count for host 3
  };
  std::vector<Entry> entries;
  for (const Case& c : cases) {
    Entry entry(c.stored, "x");
    entry.versionMadeBy = c.madeBy;
    entry.externalAttributes = c.external;
    entries.push_back(entry);
  }
  ASSERT_NE(Open(Build(entries).bytes), nullptr);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntryInfo info = Info(static_cast<std::int32_t>(i));
    EXPECT_EQ(info.index, static_cast<std::int32_t>(i));
    EXPECT_STREQ(info.name, cases[i].name) << i;
    EXPECT_EQ(info.attributes, cases[i].attributes) << i;
    EXPECT_EQ(info.uncompressedSize, 1u);
  }
}

TEST_F(ZipReaderTest, TakesTimesFromTheDosFieldsAndTheLocalTimestampBlock) {
  const std::uint64_t epoch = 116444736000000000ull;
  const std::uint64_t t1 = epoch + 1000000000ull * 10000000;
  struct Case {
    const char* what;
    std::string extra;
    std::uint32_t dos;
    std::uint64_t write, access, creation;
  };
  const std::uint32_t dos = 0x52FC5AD8;
  const Case cases[] = {
      {"no extra field", "", dos, kDosTime, kDosTime, kDosTime},
      {"all three", zip_test::Timestamp(7, {0, 1000000000, -86400}), dos, epoch, t1, epoch - 86400ull * 10000000},
      {"write only", zip_test::Timestamp(1, {1000000000}), dos, t1, kDosTime, kDosTime},
      {"behind another block", zip_test::ExtraBlock(0x7875, "uxid") + zip_test::Timestamp(2, {0}), dos, kDosTime, epoch,
       kDosTime},
      {"flags announce more than the block holds", zip_test::Timestamp(7, {0, 1000000000}), dos, epoch, t1, kDosTime},
      {"block runs past the field", zip_test::Timestamp(1, {0}).substr(0, 7), dos, kDosTime, kDosTime, kDosTime},
      {"only flags", zip_test::Timestamp(1, {}), dos, kDosTime, kDosTime, kDosTime},
      {"other block running past the field", zip_test::ExtraBlock(0x7875, "xx").substr(0, 5) + "UT", dos, kDosTime,
       kDosTime, kDosTime},
      {"month 0: the earliest DOS time", "", 0x52E05AD8, FileTime(1980, 1, 1, 0, 0, 0), FileTime(1980, 1, 1, 0, 0, 0),
       FileTime(1980, 1, 1, 0, 0, 0)},
      {"hour 25", "", 0x52FCCAD8, FileTime(1980, 1, 1, 0, 0, 0), FileTime(1980, 1, 1, 0, 0, 0),
       FileTime(1980, 1, 1, 0, 0, 0)},
  };
  std::vector<Entry> entries;
  for (const Case& c : cases) {
    Entry entry("f", "data");
    entry.localExtra = c.extra;
    entry.dosDateTime = c.dos;
    entries.push_back(entry);
  }
  ASSERT_NE(Open(Build(entries).bytes), nullptr);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntryInfo info = Info(static_cast<std::int32_t>(i));
    EXPECT_EQ(info.writeTime, cases[i].write) << cases[i].what;
    EXPECT_EQ(info.accessTime, cases[i].access) << cases[i].what;
    EXPECT_EQ(info.creationTime, cases[i].creation) << cases[i].what;
  }
}

TEST_F(ZipReaderTest, CreatesDirectoriesAndFilesUnderTheBaseAndReplacesOldFiles) {
  Entry directory("Windows x64/", "", 0);
  directory.externalAttributes = 0x10;
  Entry hidden("deep/er/h.txt", "hidden");
  hidden.externalAttributes = 0x22;
  const Archive built = Build({directory, {"Windows x64/UNIDRV.DLL", "dll"}, hidden, {"top.txt", "new", 0}});
  machine.files.PutFile("C:\\work\\top.txt", "old old old");
  ASSERT_NE(Open(built.bytes), nullptr);
  EXPECT_EQ(UnpackAll(), std::vector<ZipStatus>(4, ZipOk));
  EXPECT_TRUE(machine.files.IsDirectory("C:\\work\\Windows x64"));
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\Windows x64\\UNIDRV.DLL"), "dll");
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\deep\\er\\h.txt"), "hidden");
  EXPECT_EQ(machine.files.GetFileAttributes("C:\\work\\deep\\er\\h.txt"), 0x22u);
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\top.txt"), "new");
  EXPECT_EQ(machine.TraceOf("CreateFileA")[0], "CreateFileA C:\\work\\Windows x64/UNIDRV.DLL");
  const std::vector<std::string> made = machine.TraceOf("CreateDirectoryA");
  EXPECT_EQ(made, (std::vector<std::string>{"CreateDirectoryA C:\\work\\Windows x64", "CreateDirectoryA C:\\work\\deep",
                                            "CreateDirectoryA C:\\work\\deep/er"}));

  // A read-only file of the same name cannot be replaced; a missing base's last level is made.
  machine.files.SetAttributes("C:\\work\\top.txt", 0x21);
  EXPECT_EQ(ZipExtractEntry(handle, 3, "top.txt"), ZipCannotOpen);
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\top.txt"), "new");
  ASSERT_EQ(ZipSetBaseDirectory(handle, "C:\\work\\fresh"), ZipOk);
  EXPECT_EQ(ZipExtractEntry(handle, 3, "top.txt"), ZipOk);
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\fresh\\top.txt"), "new");
}

TEST_F(ZipReaderTest, RefusesNamesThatLeaveTheBaseOrDoNotFit) {
  const std::string longStored(260, 'n');
  Entry longEntry(longStored, "x");
  const Archive built = Build({{"../evil.txt", "evil"}, {"f.txt", "fine"}, longEntry});
  ASSERT_NE(Open(built.bytes), nullptr);
  machine.trace.clear();
  EXPECT_STREQ(Info(0).name, "../evil.txt");
  const char* const refused[] = {"../evil.txt", "..\\evil.txt", "a/..", "..", "a\\..\\..\\b", "a/... /b"};
  for (const char* name : refused) {
    EXPECT_EQ(ZipExtractEntry(handle, 0, name), ZipCannotOpen) << name;
    EXPECT_EQ(ZipExtractEntry(handle, 1, name), ZipCannotOpen) << name;
  }
  EXPECT_TRUE(machine.TraceOf("CreateFileA").empty());
  EXPECT_TRUE(machine.TraceOf("CreateDirectoryA").empty());
  EXPECT_FALSE(machine.files.Exists("C:\\evil.txt"));

  // A stored name of 260 bytes is never cut into another name.
  ZipEntryInfo info;
  EXPECT_EQ(ZipGetEntry(handle, 2, &info), ZipCorrupt);
  EXPECT_EQ(ZipExtractEntry(handle, 2, longStored.substr(0, 250).c_str()), ZipCorrupt);
  // Base and name together must fit 260 bytes, terminator included.
  const std::string fits(259 - std::strlen(kBase), 'f');
  EXPECT_EQ(ZipExtractEntry(handle, 1, (fits + "x").c_str()), ZipCannotOpen);
  EXPECT_EQ(ZipExtractEntry(handle, 1, fits.c_str()), ZipOk);
  // A base that does not fit leaves none: relative names are refused, not put elsewhere.
  EXPECT_EQ(ZipSetBaseDirectory(handle, ("C:\\" + std::string(256, 'b')).c_str()), ZipBadArgument);
  EXPECT_EQ(ZipExtractEntry(handle, 1, "f.txt"), ZipCannotOpen);
  EXPECT_EQ(ZipSetBaseDirectory(handle, ("C:\\" + std::string(255, 'b')).c_str()), ZipOk);
}

// Everything below a folder, relative to it, with the content of each file ("/" for a folder).
std::vector<std::string> HostTree(const std::filesystem::path& root) {
  std::vector<std::string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = std::filesystem::relative(entry.path(), root).string();
    tree.push_back(entry.is_directory() ? name + "/" : name + "=" + ReadHostFile(entry.path()));
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

// A link or junction planted at any level below the base, or in the base's own place, refuses
// every entry whose path leads through it or ends on it: nothing is written where it points, not
// even a file the link names but that does not exist yet. The other entries still unpack.
TEST(ZipReaderLinkTest, NeverWritesThroughALinkAtAnyLevel) {
  const Archive built = Build({{"a/b/c.txt", "deep"}, {"a/mid.txt", "mid"}, {"top.txt", "top"}});
  struct Case {
    const char* what;
    const char* link;
    const char* target;
    std::vector<ZipStatus> statuses;
  };
  const Case cases[] = {
      {"junction in the base's place", "C:\\work", "C:\\Outside", {ZipCannotOpen, ZipCannotOpen, ZipCannotOpen}},
      {"junction for a first-level folder", "C:\\work\\a", "C:\\Outside", {ZipCannotOpen, ZipCannotOpen, ZipOk}},
      {"junction for a second-level folder", "C:\\work\\a\\b", "C:\\Outside", {ZipCannotOpen, ZipOk, ZipOk}},
      {"file link for a second-level file", "C:\\work\\a\\b\\c.txt", "C:\\Outside\\target.txt", {ZipCannotOpen, ZipOk, ZipOk}},
      {"file link for a first-level file", "C:\\work\\top.txt", "C:\\Outside\\target.txt", {ZipOk, ZipOk, ZipCannotOpen}},
      {"file link to nothing yet", "C:\\work\\top.txt", "C:\\Outside\\planted.txt", {ZipOk, ZipOk, ZipCannotOpen}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::SimMachine machine;
    machine.files.PutFile("C:\\Outside\\target.txt", "outside");
    machine.files.PutLink(c.link, c.target);
    ZipHandle handle = ZipOpenMemory(machine.platform(), built.bytes.data(), static_cast<std::uint32_t>(built.bytes.size()));
    ASSERT_NE(handle, nullptr);
    ZipSetBaseDirectory(handle, kBase);
    std::vector<ZipStatus> statuses;
    for (std::int32_t index = 0; index < 3; ++index) {
      ZipEntryInfo info;
      ASSERT_EQ(ZipGetEntry(handle, index, &info), ZipOk);
      statuses.push_back(ZipExtractEntry(handle, index, info.name));
    }
    ZipClose(handle);
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(HostTree(machine.files.HostPath("C:\\Outside")), std::vector<std::string>{"target.txt=outside"});
    EXPECT_EQ(machine.files.OpenDirectoryCount(), 0u);
    EXPECT_EQ(machine.files.OpenFileCount(), 0u);
  }
}

// The folders of an entry are held while its file is made, so another program cannot swap one
// for a junction between the check and the creation.
TEST_F(ZipReaderTest, HoldsTheFoldersOfAnEntryWhileItsFileIsMade) {
  machine.files.PutFile("C:\\Outside\\target.txt", "outside");
  std::vector<bool> swapped;
  machine.files.between = [&](const std::string& call, const std::string&) {
    if (call != "CreateFileA") return;
    for (const char* folder : {"C:\\work\\a\\b", "C:\\work\\a", "C:\\work"}) {
      swapped.push_back(machine.files.SwapForJunction(folder, "C:\\Outside", "C:\\Moved"));
    }
  };
  ASSERT_NE(Open(Build({{"a/b/c.txt", "deep"}}).bytes), nullptr);
  EXPECT_EQ(UnpackAll(), std::vector<ZipStatus>{ZipOk});
  EXPECT_EQ(swapped, std::vector<bool>(3, false));
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\a\\b\\c.txt"), "deep");
  EXPECT_EQ(HostTree(machine.files.HostPath("C:\\Outside")), std::vector<std::string>{"target.txt=outside"});
  EXPECT_EQ(machine.files.OpenDirectoryCount(), 0u);

  // A link put in the file's own place after the checks is opened as itself, never followed.
  machine.files.between = [&](const std::string& call, const std::string& path) {
    if (call == "CreateFileA") machine.files.PutLink(path, "C:\\Outside\\planted.txt");
  };
  EXPECT_EQ(UnpackAll(), std::vector<ZipStatus>{ZipCannotOpen});
  EXPECT_EQ(HostTree(machine.files.HostPath("C:\\Outside")), std::vector<std::string>{"target.txt=outside"});
}

// Names that open a DOS device or an alternate data stream rather than a file are refused, in
// any component, any case and with any extension; names that only look alike unpack.
TEST_F(ZipReaderTest, RefusesDeviceNamesAndStreamSuffixes) {
  ASSERT_NE(Open(Build({{"entry", "data"}}).bytes), nullptr);
  const char* const refused[] = {"CON", "con.txt", "a/Nul", "AUX .log", "prn", "COM1", "com9.dat", "LPT1",
                                 "lpt9", "COM0", "a/b/LPT3/x.txt", "CONIN$", "conout$.x", "COM\xB9", "Lpt\xB2.txt",
                                 "nul.tar.gz", "data.txt:stream", "a/b:$DATA", "dir:x/file"};
  for (const char* name : refused) EXPECT_EQ(ZipExtractEntry(handle, 0, name), ZipCannotOpen) << name;
  EXPECT_TRUE(machine.TraceOf("CreateFileA").empty());
  EXPECT_TRUE(machine.TraceOf("CreateDirectoryA").empty());

  const char* const allowed[] = {"CONSOLE.txt", "COM10", "LPT", "nul_", "a.con", "com1x", "aux-data/file", "xcon"};
  for (const char* name : allowed) {
    EXPECT_EQ(ZipExtractEntry(handle, 0, name), ZipOk) << name;
    EXPECT_EQ(machine.files.ReadFile(std::string(kBase) + name), "data") << name;
  }
}

TEST_F(ZipReaderTest, RemovesThePartlyWrittenFileOnEveryFailureAfterCreatingIt) {
  const std::string content = zip_test::Noise(60000);
  Entry encrypted("secret.bin", content);
  encrypted.encrypted = true;
  Entry readOnly("ro.bin", content, 0);
  readOnly.externalAttributes = 0x21;
  const Archive built = Build({{"crc.bin", content}, {"bad.bin", content}, encrypted, readOnly, {"ok.txt", "ok"}});
  std::string bytes = built.bytes;
  for (std::size_t at : {built.central[0] + 16, built.local[0] + 14}) bytes[at] = static_cast<char>(bytes[at] ^ 1);
  bytes[built.data[1] + 2000] = static_cast<char>(bytes[built.data[1] + 2000] ^ 0x55);
  bytes[built.data[2] + 11] = static_cast<char>(bytes[built.data[2] + 11] ^ 0x01);  // the check byte
  for (std::size_t at : {built.central[3] + 16, built.local[3] + 14}) bytes[at] = static_cast<char>(bytes[at] ^ 1);
  ASSERT_NE(Open(bytes), nullptr);
  const std::vector<ZipStatus> statuses = UnpackAll();
  EXPECT_EQ(statuses, (std::vector<ZipStatus>{ZipInflateError, ZipInflateError, ZipBadPassword, ZipInflateError, ZipOk}));
  for (const char* name : {"crc.bin", "bad.bin", "secret.bin", "ro.bin"}) {
    EXPECT_FALSE(machine.files.Exists(std::string(kBase) + name)) << name;
  }
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\ok.txt"), "ok");
  EXPECT_EQ(machine.files.OpenFileCount(), 0u);

  // A failed write, after a first piece was written.
  ASSERT_NE(Open(Build({{"big.bin", content}}).bytes), nullptr);
  machine.faults.FailAfter("WriteFile", 1, platform::kErrorAccessDenied);
  EXPECT_EQ(UnpackAll(), std::vector<ZipStatus>{ZipWriteError});
  EXPECT_FALSE(machine.files.Exists("C:\\work\\big.bin"));
  EXPECT_EQ(UnpackAll(), std::vector<ZipStatus>{ZipOk});
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\big.bin"), content);
}

TEST_F(ZipReaderTest, ReportsDamagedEntriesAndStaysUsable) {
  Entry bzip("m12.bin", "data", 12);
  Entry extra("extra.bin", "data");
  extra.localExtra = zip_test::Timestamp(1, {0});
  const Archive built = Build({{"first", "1"}, bzip, extra, {"fourth", "4"}, {"fifth", "5"}});
  std::string bytes = built.bytes;
  // The extra field's length now reaches past the block; the fifth record's signature is gone.
  zip_test::Put16(bytes, built.local[2] + 28, 0xFFFF);
  bytes[built.central[4]] = 'X';
  ASSERT_NE(Open(bytes), nullptr);
  EXPECT_EQ(UnpackAll(), (std::vector<ZipStatus>{ZipOk, ZipCorrupt, ZipReadError, ZipOk, ZipCorrupt}));
  EXPECT_EQ(ZipExtractEntry(handle, 4, "fifth"), ZipCorrupt);
  EXPECT_EQ(ZipExtractEntry(handle, 0, "first"), ZipOk);
  EXPECT_EQ(machine.files.ReadFile("C:\\work\\fourth"), "4");
  EXPECT_TRUE(machine.TraceOf("CreateFileA C:\\work\\m12.bin").empty());
}

// An entry unpacked into memory by its name, as the installer compares a staged copy with the
// package it carries: "/" and "\\" alike, letters without case, directories and partial names
// not matched, the data checked against its CRC-32, and no file touched.
TEST_F(ZipReaderTest, ReadsAFileEntryIntoMemoryByName) {
  const std::string big = zip_test::Noise(40000);  // more than one output buffer
  Entry folder("Windows x64/", "", 0);
  folder.externalAttributes = 0x10;
  const Archive built = Build({folder, {"Windows x64/UNIDRV.DLL", big}, {"Windows NT x86/RCQ80.DLL", "stored", 0},
                               {"damaged.bin", "checked", 0}});
  std::string bytes = built.bytes;
  bytes[built.data[3]] = 'C';
  ASSERT_NE(Open(bytes), nullptr);
  struct Case {
    const char* name;
    ZipStatus status;
    std::string data;
  } cases[] = {
      {"windows x64\\unidrv.dll", ZipOk, big},
      {"Windows x64/UNIDRV.DLL", ZipOk, big},
      {"Windows NT x86\\RCQ80.DLL", ZipOk, "stored"},
      {"Windows x64/", ZipBadArgument, ""},
      {"Windows x64", ZipBadArgument, ""},
      {"UNIDRV.DLL", ZipBadArgument, ""},
      {"Windows x64/UNIDRV.DLL ", ZipBadArgument, ""},
      {"damaged.bin", ZipInflateError, ""},
  };
  for (const Case& c : cases) {
    std::string read;
    EXPECT_EQ(ZipReadEntryToMemory(handle, c.name, &read), c.status) << c.name;
    if (c.status == ZipOk) {
      EXPECT_EQ(read, c.data) << c.name;
    }
  }
  std::string read;
  EXPECT_EQ(ZipReadEntryToMemory(nullptr, "damaged.bin", &read), ZipBadArgument);
  EXPECT_TRUE(machine.TraceOf("CreateFileA").empty());
  EXPECT_EQ(UnpackAll(), (std::vector<ZipStatus>{ZipOk, ZipOk, ZipOk, ZipInflateError}));
}

TEST_F(ZipReaderTest, AllocationFailuresGiveAStatusAndLeakNothing) {
  const Archive built = Build({{"a.txt", zip_test::Noise(20000)}, {"b.txt", "b"}});
  bool complete = false;
  for (int skip = 0; !complete && skip < 30; ++skip) {
    SCOPED_TRACE(skip);
    zip_memory::FailAfter(skip);
    if (Open(built.bytes) == nullptr) continue;
    const std::vector<ZipStatus> statuses = UnpackAll();
    complete = statuses == std::vector<ZipStatus>(2, ZipOk);
    for (ZipStatus status : statuses) EXPECT_TRUE(status == ZipOk || status == ZipInflateError) << status;
    EXPECT_EQ(machine.files.OpenFileCount(), 0u);
    ZipClose(handle);
    handle = nullptr;
    zip_memory::FailAfter(-1);
  }
  EXPECT_TRUE(complete);
  // The extra field's copy failing is a read error of the entry information.
  Entry extra("x", "x");
  extra.localExtra = zip_test::Timestamp(1, {0});
  ASSERT_NE(Open(Build({extra}).bytes), nullptr);
  zip_memory::FailAfter(0);
  ZipEntryInfo info;
  EXPECT_EQ(ZipGetEntry(handle, 0, &info), ZipReadError);
}

}  // namespace
