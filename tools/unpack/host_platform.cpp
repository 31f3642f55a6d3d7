#include "tools/unpack/host_platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace host {

namespace {

constexpr std::int64_t kUnixEpochFileTime = 116444736000000000;

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(int year, unsigned month) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

timespec ToTimespec(std::uint64_t fileTime) {
  const std::int64_t units = static_cast<std::int64_t>(fileTime) - kUnixEpochFileTime;
  std::int64_t seconds = units / 10000000;
  std::int64_t rest = units % 10000000;
  if (rest < 0) {
    rest += 10000000;
    --seconds;
  }
  timespec result;
  result.tv_sec = static_cast<time_t>(seconds);
  result.tv_nsec = static_cast<long>(rest * 100);
  return result;
}

int Descriptor(platform::FileRef file) { return static_cast<int>(file) - 1; }

}  // namespace

bool HostFileSystem::Inside(const char* path, std::string* host) const {
  std::string text = path;
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  if (text.compare(0, root_.size(), root_) != 0 && text + "/" != root_) return false;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find('/', begin);
    if (end == std::string::npos) end = text.size();
    if (text.compare(begin, end - begin, "..") == 0) return false;
    begin = end + 1;
  }
  *host = text;
  return true;
}

bool HostFileSystem::DeleteFile(const char* path) {
  std::string host;
  return Inside(path, &host) && ::unlink(host.c_str()) == 0;
}

bool HostFileSystem::CreateDirectory(const char* path) {
  std::string host;
  return Inside(path, &host) && ::mkdir(host.c_str(), 0755) == 0;
}

std::uint32_t HostFileSystem::GetCurrentDirectory(std::uint32_t size, char* buffer) {
  const std::uint32_t length = static_cast<std::uint32_t>(root_.size());
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, root_.c_str(), length + 1);
  return length;
}

std::uint32_t HostFileSystem::GetFileAttributes(const char* path) {
  std::string host;
  struct stat status;
  if (!Inside(path, &host) || ::lstat(host.c_str(), &status) != 0) return platform::kInvalidFileAttributes;
  if (S_ISLNK(status.st_mode)) return platform::kFileAttributeReparsePoint;
  if (S_ISDIR(status.st_mode)) return platform::kFileAttributeDirectory;
  return platform::kFileAttributeArchive | ((status.st_mode & S_IWUSR) ? 0 : platform::kFileAttributeReadOnly);
}

bool HostFileSystem::SetFileAttributes(const char* path, std::uint32_t attributes) {
  std::string host;
  const mode_t mode = (attributes & platform::kFileAttributeReadOnly) ? 0444 : 0644;
  return Inside(path, &host) && ::chmod(host.c_str(), mode) == 0;
}

platform::FileRef HostFileSystem::CreateFileForWrite(const char* path, std::uint32_t attributes) {
  std::string host;
  if (!Inside(path, &host)) return 0;
  const mode_t mode = (attributes & platform::kFileAttributeReadOnly) ? 0444 : 0644;
  const int descriptor = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  return descriptor < 0 ? 0 : static_cast<platform::FileRef>(descriptor) + 1;
}

platform::DirectoryRef HostFileSystem::OpenDirectory(const char* path) {
  std::string host;
  if (!Inside(path, &host)) return 0;
  // Without trailing slashes, which would make the system follow a link in the last place.
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  const int descriptor = ::open(host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return descriptor < 0 ? 0 : static_cast<platform::DirectoryRef>(descriptor) + 1;
}

void HostFileSystem::CloseDirectory(platform::DirectoryRef directory) { ::close(Descriptor(directory)); }

bool HostFileSystem::WriteFile(platform::FileRef file, const void* data, std::uint32_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(Descriptor(file), at, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    at += written;
    size -= static_cast<std::uint32_t>(written);
  }
  return true;
}

void HostFileSystem::SetFileTime(platform::FileRef file, std::uint64_t, std::uint64_t access, std::uint64_t write) {
  const timespec times[2] = {ToTimespec(access), ToTimespec(write)};
  ::futimens(Descriptor(file), times);
}

void HostFileSystem::CloseFile(platform::FileRef file) { ::close(Descriptor(file)); }

bool HostSystem::LocalTimeToUtcFileTime(const platform::SystemTime& local, std::uint64_t* fileTime) {
  if (local.year < 1601 || local.month < 1 || local.month > 12) return false;
  if (local.day < 1 || local.day > DaysInMonth(local.year, local.month)) return false;
  if (local.hour > 23 || local.minute > 59 || local.second > 59 || local.milliseconds > 999) return false;
  std::tm calendar{};
  calendar.tm_year = local.year - 1900;
  calendar.tm_mon = local.month - 1;
  calendar.tm_mday = local.day;
  calendar.tm_hour = local.hour;
  calendar.tm_min = local.minute;
  calendar.tm_sec = local.second;
  calendar.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&calendar);
  *fileTime = static_cast<std::uint64_t>(static_cast<std::int64_t>(seconds) * 10000000 + kUnixEpochFileTime +
                                         local.milliseconds * 10000);
  return true;
}

}  // namespace host
