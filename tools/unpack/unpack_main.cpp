// unpack ARCHIVE DIR: unpacks a ZIP file (mapped into memory) with the program's own reader, the way the program
// unpacks its embedded package, into DIR on the host, with one line per entry.
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "payload/zip_reader.h"
#include "tools/unpack/host_platform.h"
#include "tools/unpack/mapped_file.h"

namespace {

const char* StatusName(ZipStatus status) {
  switch (status) {
    case ZipOk: return "ZipOk";
    case ZipBadArgument: return "ZipBadArgument";
    case ZipCannotOpen: return "ZipCannotOpen";
    case ZipCorrupt: return "ZipCorrupt";
    case ZipReadError: return "ZipReadError";
    case ZipWriteError: return "ZipWriteError";
    case ZipBadPassword: return "ZipBadPassword";
    case ZipInflateError: return "ZipInflateError";
    default: return "ZipUnknown";
  }
}

// A file time as "YYYY-MM-DD hh:mm:ss" UTC.
std::string FormatTime(std::uint64_t fileTime) {
  std::int64_t seconds = (static_cast<std::int64_t>(fileTime) - 116444736000000000LL) / 10000000;
  const std::time_t value = static_cast<std::time_t>(seconds);
  std::tm calendar{};
  char text[32] = "-";
  if (gmtime_r(&value, &calendar) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &calendar);
  return text;
}


}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: unpack ARCHIVE DIR\n");
    return 2;
  }
  const unsigned char* archive = nullptr;
  std::size_t size = 0;
  if (!MapWholeFile(argv[1], &archive, &size) || size > UINT32_MAX) {
    std::fprintf(stderr, "unpack: cannot read %s\n", argv[1]);
    return 2;
  }
  ::mkdir(argv[2], 0755);
  char resolved[PATH_MAX];
  if (realpath(argv[2], resolved) == nullptr) {
    std::fprintf(stderr, "unpack: cannot use the folder %s\n", argv[2]);
    return 2;
  }
  const std::string root = std::string(resolved) + (std::string(resolved) == "/" ? "" : "/");
  host::HostFileSystem files(root);
  host::HostSystem system;
  platform::Platform machine;
  machine.files = &files;
  machine.system = &system;

  ZipHandle handle = ZipOpenMemory(machine, archive, static_cast<std::uint32_t>(size));
  if (handle == nullptr) {
    std::fprintf(stderr, "unpack: %s: ZipCannotOpen\n", argv[1]);
    return 1;
  }
  ZipEntryInfo count;
  ZipGetEntry(handle, -1, &count);
  const ZipStatus base = ZipSetBaseDirectory(handle, root.c_str());
  bool failed = base != ZipOk;
  for (std::int32_t index = 0; index < count.index; ++index) {
    ZipEntryInfo info;
    ZipStatus status = ZipGetEntry(handle, index, &info);
    if (status == ZipOk) status = ZipExtractEntry(handle, index, info.name);
    failed = failed || status != ZipOk;
    std::printf("%d %s %s 0x%02x %s\n", index, StatusName(status), info.name, info.attributes,
                FormatTime(info.writeTime).c_str());
  }
  ZipClose(handle);
  return failed ? 1 : 0;
}
