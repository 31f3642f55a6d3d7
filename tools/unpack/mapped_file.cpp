#include "tools/unpack/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool MapWholeFile(const char* path, const unsigned char** data, std::size_t* size) {
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  struct stat status;
  const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  *size = regular ? static_cast<std::size_t>(status.st_size) : 0;
  void* mapped = regular && *size > 0 ? mmap(nullptr, *size, PROT_READ, MAP_PRIVATE, descriptor, 0) : MAP_FAILED;
  close(descriptor);
  if (regular && *size == 0) {
    static const unsigned char kEmpty = 0;
    *data = &kEmpty;
    return true;
  }
  if (mapped == MAP_FAILED) return false;
  *data = static_cast<const unsigned char*>(mapped);
  return true;
}
