// Files and folders: the size protocol of the directory queries, attributes, and the errors of
// each operation on a missing, read-only or wrong kind of target.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "contract_machine.h"
#include "platform/files.h"
#include "platform/types.h"

namespace contract {
namespace {

constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorDirNotEmpty = 145;
constexpr std::uint32_t kErrorDirectory = 267;  // ERROR_DIRECTORY: the directory name is invalid

// Writes a file through the interface under test, as the unpacking does.
void PutFile(platform::IFileSystem& files, const std::string& path, const std::string& content,
             std::uint32_t attributes = platform::kFileAttributeNormal) {
  const platform::FileRef file = files.CreateFileForWrite(path.c_str(), attributes);
  ASSERT_NE(file, 0u) << path;
  EXPECT_TRUE(files.WriteFile(file, content.data(), static_cast<std::uint32_t>(content.size())));
  files.CloseFile(file);
}

// CreateFileForWrite where it must fail: its result, with a file that was made all the same closed.
platform::FileRef TryCreate(platform::IFileSystem& files, const std::string& path, std::uint32_t attributes) {
  const platform::FileRef file = files.CreateFileForWrite(path.c_str(), attributes);
  if (file != 0) files.CloseFile(file);
  return file;
}

// The case's folder; read-only marks are taken off again before the machine removes it.
class FilesCase {
 public:
  explicit FilesCase(ContractMachine& machine) : files(*machine.Services().files), folder(machine.Folder()) {}
  ~FilesCase() {
    for (const std::string& path : readOnly) (void)files.SetFileAttributes(path.c_str(), platform::kFileAttributeNormal);
  }
  std::string At(const char* name) const { return folder + "\\" + name; }
  void MakeReadOnly(const std::string& path) {
    readOnly.push_back(path);
    ASSERT_TRUE(files.SetFileAttributes(path.c_str(), platform::kFileAttributeReadOnly));
  }

  platform::IFileSystem& files;
  std::string folder;
  std::vector<std::string> readOnly;
};

// GetCurrentDirectoryA and GetTempPathA: a buffer too small gives the size needed with the NUL
// and is left alone; an exact one gives the length without it.
TEST_P(FilesContract, GetCurrentDirectorySizeProtocol) {
  FilesCase test(machine());
  ASSERT_TRUE(test.files.SetCurrentDirectory(test.folder.c_str()));
  const std::uint32_t length = static_cast<std::uint32_t>(test.folder.size());
  char buffer[400];
  std::memset(buffer, kSentinelByte, sizeof buffer);
  EXPECT_EQ(test.files.GetCurrentDirectory(length, buffer), length + 1);
  EXPECT_EQ(buffer[0], kSentinelByte);
  EXPECT_EQ(test.files.GetCurrentDirectory(length + 1, buffer), length);
  EXPECT_EQ(std::string(buffer), test.folder);
}

TEST_P(FilesContract, GetTempPathSizeProtocol) {
  FilesCase test(machine());
  char buffer[400];
  std::memset(buffer, kSentinelByte, sizeof buffer);
  const std::uint32_t length = test.files.GetTempPath(sizeof buffer, buffer);
  ASSERT_GT(length, 3u);
  ASSERT_LT(length, sizeof buffer);
  const std::string path(buffer);
  EXPECT_EQ(path.size(), length);
  EXPECT_EQ(path.back(), '\\');
  char small[400];
  std::memset(small, kSentinelByte, sizeof small);
  EXPECT_EQ(test.files.GetTempPath(length, small), length + 1);
  EXPECT_EQ(small[0], kSentinelByte);
}

TEST_P(FilesContract, SetCurrentDirectoryErrors) {
  FilesCase test(machine());
  PutFile(test.files, test.At("file.txt"), "x");
  ArmLastError();
  EXPECT_FALSE(test.files.SetCurrentDirectory(test.At("missing").c_str()));
  EXPECT_EQ(LastError(), platform::kErrorFileNotFound);
  ArmLastError();
  EXPECT_FALSE(test.files.SetCurrentDirectory(test.At("file.txt").c_str()));
  EXPECT_EQ(LastError(), kErrorDirectory);
}

TEST_P(FilesContract, GetFileAttributesOfMissingNames) {
  FilesCase test(machine());
  ArmLastError();
  EXPECT_EQ(test.files.GetFileAttributes(test.At("missing").c_str()), platform::kInvalidFileAttributes);
  EXPECT_EQ(LastError(), platform::kErrorFileNotFound);
  ArmLastError();
  EXPECT_EQ(test.files.GetFileAttributes(test.At("missing\\file.txt").c_str()), platform::kInvalidFileAttributes);
  EXPECT_EQ(LastError(), platform::kErrorPathNotFound);
}

// A file whose attributes are all taken off reads back as FILE_ATTRIBUTE_NORMAL; a folder keeps
// its directory bit.
TEST_P(FilesContract, SetFileAttributesReadsBack) {
  FilesCase test(machine());
  const std::string file = test.At("file.txt");
  PutFile(test.files, file, "x");
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub").c_str()));
  EXPECT_EQ(test.files.GetFileAttributes(test.At("sub").c_str()), platform::kFileAttributeDirectory);
  test.MakeReadOnly(file);
  const std::uint32_t readOnly = test.files.GetFileAttributes(file.c_str());
  ASSERT_TRUE(test.files.SetFileAttributes(file.c_str(), platform::kFileAttributeNormal));
  const std::uint32_t normal = test.files.GetFileAttributes(file.c_str());
  if (WineDiffers("a file on a Unix file system keeps no archive bit: Wine reports every file as archived")) {
    EXPECT_EQ(readOnly, platform::kFileAttributeReadOnly | platform::kFileAttributeArchive);
    EXPECT_EQ(normal, platform::kFileAttributeArchive);
  } else {
    EXPECT_EQ(readOnly, platform::kFileAttributeReadOnly);
    EXPECT_EQ(normal, platform::kFileAttributeNormal);
  }
  ASSERT_TRUE(test.files.SetFileAttributes(file.c_str(), platform::kFileAttributeArchive));
  EXPECT_EQ(test.files.GetFileAttributes(file.c_str()), platform::kFileAttributeArchive);
  ArmLastError();
  EXPECT_FALSE(test.files.SetFileAttributes(test.At("missing").c_str(), platform::kFileAttributeNormal));
  EXPECT_EQ(LastError(), platform::kErrorFileNotFound);
}

TEST_P(FilesContract, CreateFileForWriteGivesTheFileItsAttributes) {
  FilesCase test(machine());
  PutFile(test.files, test.At("plain.txt"), "x", platform::kFileAttributeNormal);
  EXPECT_EQ(test.files.GetFileAttributes(test.At("plain.txt").c_str()), platform::kFileAttributeArchive);
  const std::string readOnly = test.At("read-only.txt");
  test.readOnly.push_back(readOnly);
  PutFile(test.files, readOnly, "x", platform::kFileAttributeReadOnly);
  EXPECT_EQ(test.files.GetFileAttributes(readOnly.c_str()),
            platform::kFileAttributeReadOnly | platform::kFileAttributeArchive);
}

// A file is only ever made new: whatever already stands at the name is refused and left as it was.
TEST_P(FilesContract, CreateFileForWriteErrors) {
  FilesCase test(machine());
  const std::string plain = test.At("plain.txt");
  PutFile(test.files, plain, "x");
  const std::string hidden = test.At("hidden.txt");
  PutFile(test.files, hidden, "x", platform::kFileAttributeHidden);
  const std::string readOnly = test.At("read-only.txt");
  PutFile(test.files, readOnly, "x");
  test.MakeReadOnly(readOnly);
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub").c_str()));
  struct Case {
    std::string path;
    std::uint32_t error;
  };
  const Case cases[] = {{plain, kErrorFileExists},
                        {hidden, kErrorFileExists},
                        {readOnly, kErrorFileExists},
                        {test.At("sub"), kErrorFileExists},
                        {test.At("missing\\file.txt"), platform::kErrorPathNotFound}};
  for (const Case& item : cases) {
    ArmLastError();
    EXPECT_EQ(TryCreate(test.files, item.path, platform::kFileAttributeNormal), 0u) << item.path;
    EXPECT_EQ(LastError(), item.error) << item.path;
  }
  EXPECT_EQ(test.files.GetFileAttributes(plain.c_str()), platform::kFileAttributeArchive);
  EXPECT_EQ(test.files.GetFileAttributes(test.At("sub").c_str()), platform::kFileAttributeDirectory);
}

TEST_P(FilesContract, CreateDirectoryErrors) {
  FilesCase test(machine());
  ArmLastError();
  EXPECT_FALSE(test.files.CreateDirectory(test.folder.c_str()));
  EXPECT_EQ(LastError(), platform::kErrorAlreadyExists);
  PutFile(test.files, test.At("file.txt"), "x");
  ArmLastError();
  EXPECT_FALSE(test.files.CreateDirectory(test.At("file.txt").c_str()));
  EXPECT_EQ(LastError(), platform::kErrorAlreadyExists);
  ArmLastError();
  EXPECT_FALSE(test.files.CreateDirectory(test.At("missing\\sub").c_str()));
  EXPECT_EQ(LastError(), platform::kErrorPathNotFound);
}

TEST_P(FilesContract, RemoveDirectoryErrors) {
  FilesCase test(machine());
  ASSERT_TRUE(test.files.CreateDirectory(test.At("full").c_str()));
  PutFile(test.files, test.At("full\\file.txt"), "x");
  PutFile(test.files, test.At("file.txt"), "x");
  struct Case {
    std::string path;
    std::uint32_t error;
  };
  const Case cases[] = {{test.At("full"), kErrorDirNotEmpty},
                        {test.At("missing"), platform::kErrorFileNotFound},
                        {test.At("file.txt"), kErrorDirectory}};
  for (const Case& item : cases) {
    ArmLastError();
    EXPECT_FALSE(test.files.RemoveDirectory(item.path.c_str())) << item.path;
    EXPECT_EQ(LastError(), item.error) << item.path;
  }
  EXPECT_TRUE(test.files.DeleteFile(test.At("full\\file.txt").c_str()));
  EXPECT_TRUE(test.files.RemoveDirectory(test.At("full").c_str()));
  EXPECT_EQ(test.files.GetFileAttributes(test.At("full").c_str()), platform::kInvalidFileAttributes);
}

TEST_P(FilesContract, DeleteFileErrors) {
  FilesCase test(machine());
  const std::string readOnly = test.At("read-only.txt");
  PutFile(test.files, readOnly, "x");
  test.MakeReadOnly(readOnly);
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub").c_str()));
  struct Case {
    std::string path;
    std::uint32_t error;
  };
  const Case cases[] = {{readOnly, platform::kErrorAccessDenied},
                        {test.At("sub"), platform::kErrorAccessDenied},
                        {test.At("missing"), platform::kErrorFileNotFound},
                        {test.At("missing\\file.txt"), platform::kErrorPathNotFound}};
  for (const Case& item : cases) {
    ArmLastError();
    EXPECT_FALSE(test.files.DeleteFile(item.path.c_str())) << item.path;
    EXPECT_EQ(LastError(), item.error) << item.path;
  }
  EXPECT_NE(test.files.GetFileAttributes(readOnly.c_str()), platform::kInvalidFileAttributes);
}

TEST_P(FilesContract, CopyFileErrors) {
  FilesCase test(machine());
  const std::string source = test.At("source.txt");
  PutFile(test.files, source, "x");
  const std::string readOnly = test.At("read-only.txt");
  PutFile(test.files, readOnly, "y");
  test.MakeReadOnly(readOnly);
  struct Case {
    std::string from;
    std::string to;
    bool failIfExists;
    std::uint32_t error;
  };
  const Case cases[] = {{source, readOnly, true, kErrorFileExists},
                        {source, readOnly, false, platform::kErrorAccessDenied},
                        {test.At("missing"), test.At("copy.txt"), false, platform::kErrorFileNotFound},
                        {source, test.At("missing\\copy.txt"), false, platform::kErrorPathNotFound}};
  const bool readOnlyHolds = ReadOnlyHolds();
  for (const Case& item : cases) {
    if (item.to == readOnly && !item.failIfExists && !readOnlyHolds) continue;
    ArmLastError();
    EXPECT_FALSE(test.files.CopyFile(item.from.c_str(), item.to.c_str(), item.failIfExists)) << item.from << " " << item.to;
    EXPECT_EQ(LastError(), item.error) << item.from << " " << item.to;
  }
}

TEST_P(FilesContract, CopyFileOverAnExistingFile) {
  FilesCase test(machine());
  PutFile(test.files, test.At("source.txt"), "x");
  PutFile(test.files, test.At("target.txt"), "y");
  EXPECT_TRUE(test.files.CopyFile(test.At("source.txt").c_str(), test.At("target.txt").c_str(), false));
  EXPECT_EQ(test.files.GetFileAttributes(test.At("target.txt").c_str()), platform::kFileAttributeArchive);
}

// A search lists "." and ".." and every entry with its path; the order is the file system's, so
// the entries are compared as a set.
TEST_P(FilesContract, FindFilesListsEveryEntry) {
  FilesCase test(machine());
  PutFile(test.files, test.At("b.txt"), "x");
  ASSERT_TRUE(test.files.CreateDirectory(test.At("a").c_str()));
  std::vector<platform::FoundFile> found;
  ASSERT_TRUE(test.files.FindFiles((test.folder + "\\*.*").c_str(), &found));
  std::vector<std::string> lines;
  for (const platform::FoundFile& entry : found) {
    lines.push_back(entry.name + " " + (entry.path == test.folder + "\\" + entry.name ? "path" : entry.path) +
                    (entry.directory ? " directory" : "") + (entry.dots ? " dots" : "") + (entry.link ? " link" : ""));
  }
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{". path directory dots", ".. path directory dots", "a path directory",
                                             "b.txt path"}));
}

TEST_P(FilesContract, FindFilesInAMissingFolderGivesPathNotFound) {
  FilesCase test(machine());
  std::vector<platform::FoundFile> found;
  ArmLastError();
  EXPECT_FALSE(test.files.FindFiles((test.At("missing") + "\\*.*").c_str(), &found));
  EXPECT_EQ(LastError(), platform::kErrorPathNotFound);
  EXPECT_TRUE(found.empty());
}

// Held directories: only a plain directory is held, and while it is, it cannot be removed.
TEST_P(FilesContract, OpenDirectoryHoldsAPlainDirectoryOnly) {
  FilesCase test(machine());
  PutFile(test.files, test.At("file.txt"), "x");
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub").c_str()));
  const struct {
    std::string path;
    std::uint32_t error;
  } refused[] = {{test.At("missing"), platform::kErrorFileNotFound}, {test.At("file.txt"), kErrorDirectory}};
  for (const auto& item : refused) {
    ArmLastError();
    EXPECT_EQ(test.files.OpenDirectory(item.path.c_str()), 0u) << item.path;
    EXPECT_EQ(LastError(), item.error) << item.path;
  }
  const platform::DirectoryRef held = test.files.OpenDirectory(test.At("sub").c_str());
  ASSERT_NE(held, 0u);
  ArmLastError();
  EXPECT_FALSE(test.files.RemoveDirectory(test.At("sub").c_str()));
  EXPECT_EQ(LastError(), kErrorSharingViolation);
  test.files.CloseDirectory(held);
  EXPECT_TRUE(test.files.RemoveDirectory(test.At("sub").c_str()));
}

// A child is named by one entry name: no separator, no dots, not empty.
TEST_P(FilesContract, OpenChildDirectoryTakesEntryNamesOnly) {
  FilesCase test(machine());
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub").c_str()));
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub\\inner").c_str()));
  const platform::DirectoryRef top = test.files.OpenDirectory(test.folder.c_str());
  ASSERT_NE(top, 0u);
  for (const char* name : {"", ".", "..", "sub\\inner", "sub/inner"}) {
    ArmLastError();
    EXPECT_EQ(test.files.OpenChildDirectory(top, name), 0u) << name;
    EXPECT_EQ(LastError(), platform::kErrorInvalidParameter) << name;
  }
  const platform::DirectoryRef child = test.files.OpenChildDirectory(top, "sub");
  EXPECT_NE(child, 0u);
  if (child != 0) test.files.CloseDirectory(child);
  test.files.CloseDirectory(top);
}

// The listing of a held directory is the folder's, as a search of it gives.
TEST_P(FilesContract, ListDirectoryListsTheHeldDirectory) {
  FilesCase test(machine());
  PutFile(test.files, test.At("b.txt"), "x");
  ASSERT_TRUE(test.files.CreateDirectory(test.At("a").c_str()));
  const platform::DirectoryRef held = test.files.OpenDirectory(test.folder.c_str());
  ASSERT_NE(held, 0u);
  std::vector<platform::FoundFile> found;
  EXPECT_TRUE(test.files.ListDirectory(held, &found));
  test.files.CloseDirectory(held);
  std::vector<std::string> lines;
  for (const platform::FoundFile& entry : found) lines.push_back(entry.name + (entry.directory ? " directory" : ""));
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{". directory", ".. directory", "a directory", "b.txt"}));
}

// A child file is deleted; a plain child directory never is, nor what is missing.
TEST_P(FilesContract, DeleteChildDeletesFilesOnly) {
  FilesCase test(machine());
  PutFile(test.files, test.At("file.txt"), "x");
  ASSERT_TRUE(test.files.CreateDirectory(test.At("sub").c_str()));
  const platform::DirectoryRef held = test.files.OpenDirectory(test.folder.c_str());
  ASSERT_NE(held, 0u);
  EXPECT_TRUE(test.files.DeleteChild(held, "file.txt"));
  EXPECT_EQ(test.files.GetFileAttributes(test.At("file.txt").c_str()), platform::kInvalidFileAttributes);
  const struct {
    const char* name;
    std::uint32_t error;
  } refused[] = {{"sub", platform::kErrorAccessDenied}, {"missing", platform::kErrorFileNotFound}};
  for (const auto& item : refused) {
    ArmLastError();
    EXPECT_FALSE(test.files.DeleteChild(held, item.name)) << item.name;
    EXPECT_EQ(LastError(), item.error) << item.name;
  }
  test.files.CloseDirectory(held);
  EXPECT_EQ(test.files.GetFileAttributes(test.At("sub").c_str()), platform::kFileAttributeDirectory);
}

// Released and then removed: only when empty.
TEST_P(FilesContract, CloseAndRemoveDirectoryRemovesOnlyAnEmptyDirectory) {
  FilesCase test(machine());
  ASSERT_TRUE(test.files.CreateDirectory(test.At("full").c_str()));
  PutFile(test.files, test.At("full\\file.txt"), "x");
  ASSERT_TRUE(test.files.CreateDirectory(test.At("empty").c_str()));
  ArmLastError();
  EXPECT_FALSE(test.files.CloseAndRemoveDirectory(test.files.OpenDirectory(test.At("full").c_str())));
  EXPECT_EQ(LastError(), kErrorDirNotEmpty);
  EXPECT_EQ(test.files.GetFileAttributes(test.At("full").c_str()), platform::kFileAttributeDirectory);
  EXPECT_TRUE(test.files.CloseAndRemoveDirectory(test.files.OpenDirectory(test.At("empty").c_str())));
  EXPECT_EQ(test.files.GetFileAttributes(test.At("empty").c_str()), platform::kInvalidFileAttributes);
}

// The whole file within the limit; past it, or missing, nothing is handed out.
TEST_P(FilesContract, ReadWholeFileWithinItsLimit) {
  FilesCase test(machine());
  PutFile(test.files, test.At("file.txt"), "abc");
  std::string content = "sentinel";
  EXPECT_TRUE(test.files.ReadWholeFile(test.At("file.txt").c_str(), 3, &content));
  EXPECT_EQ(content, "abc");
  const struct {
    std::string path;
    std::uint32_t limit;
    std::uint32_t error;
  } refused[] = {{test.At("file.txt"), 2, platform::kErrorMoreData}, {test.At("missing"), 3, platform::kErrorFileNotFound}};
  for (const auto& item : refused) {
    content = "sentinel";
    ArmLastError();
    EXPECT_FALSE(test.files.ReadWholeFile(item.path.c_str(), item.limit, &content)) << item.path;
    EXPECT_EQ(LastError(), item.error) << item.path;
    EXPECT_EQ(content, "sentinel") << item.path;
  }
}

}  // namespace
}  // namespace contract
