// The `unpack` command: the program's unpacking on real host files, confined to its folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Capture(const std::string& command, int* status) {
  std::string output;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[512];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  *status = pclose(pipe);
  return output;
}

TEST(UnpackToolTest, UnpacksEveryEntryPrintsALineEachAndFailsForRefusedOnes) {
  const fs::path folder = fs::path(ZIP_FIXTURE_DIR) / "tool";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "make.py") << "import sys, zipfile\n"
                                       "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                                       "    i = zipfile.ZipInfo('dir/', (2021, 7, 28, 11, 22, 48))\n"
                                       "    i.create_system = 0\n"
                                       "    i.external_attr = 0x10\n"
                                       "    z.writestr(i, b'')\n"
                                       "    i = zipfile.ZipInfo('dir/file.txt', (2021, 7, 28, 11, 22, 48))\n"
                                       "    i.create_system = 0\n"
                                       "    i.external_attr = 0x20\n"
                                       "    z.writestr(i, b'content ' * 10000)\n"
                                       "    z.writestr('../escape.txt', b'outside')\n";
  const std::string archive = (folder / "t.zip").string();
  // The set-up installs python3; without it this test cannot do its work, which is a failure.
  ASSERT_EQ(std::system(("python3 '" + (folder / "make.py").string() + "' '" + archive + "'").c_str()), 0)
      << "python3 with zipfile did not write the archive";
  int status = 0;
  const std::string output = Capture("TZ=UTC '" UNPACK_PATH "' '" + archive + "' '" + (folder / "out").string() + "'", &status);
  EXPECT_NE(status, 0);
  std::istringstream lines(output);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "0 ZipOk dir/ 0x10 2021-07-28 11:22:48");
  std::getline(lines, line);
  EXPECT_EQ(line, "1 ZipOk dir/file.txt 0x20 2021-07-28 11:22:48");
  std::getline(lines, line);
  EXPECT_EQ(line.substr(0, 31), "2 ZipCannotOpen ../escape.txt 0");
  std::ifstream written(folder / "out" / "dir" / "file.txt", std::ios::binary);
  std::ostringstream content;
  content << written.rdbuf();
  EXPECT_EQ(content.str().size(), 80000u);
  EXPECT_FALSE(fs::exists(folder / "escape.txt"));
  struct stat info {};
  ASSERT_EQ(stat((folder / "out" / "dir" / "file.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, 1627471368);  // 2021-07-28 11:22:48, local time in UTC
}

}  // namespace
