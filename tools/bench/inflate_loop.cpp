// The limit for the unpacking benchmark: a bare raw-inflate loop over the entries named in an
// index file ("offset compressed uncompressed name" per line, data offsets into the archive),
// with the CRC-32 and the file writes that any unpacker does, and nothing else.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <zlib.h>

#include "tools/unpack/mapped_file.h"

namespace {

// Keeps the CRC-32 work from being optimised away, as an unpacker compares it.
volatile uLong checksums = 0;

bool Inflate(const unsigned char* data, unsigned long size, int out) {
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
  unsigned char buffer[16384];
  z.next_in = const_cast<unsigned char*>(data);
  z.avail_in = static_cast<uInt>(size);
  uLong crc = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = buffer;
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    const std::size_t made = sizeof buffer - z.avail_out;
    crc = crc32(crc, buffer, static_cast<uInt>(made));
    if (made > 0 && write(out, buffer, made) != static_cast<ssize_t>(made)) status = Z_ERRNO;
  }
  inflateEnd(&z);
  checksums = checksums + crc;
  return status == Z_STREAM_END;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: inflate_loop ARCHIVE INDEX DIR\n");
    return 2;
  }
  const unsigned char* archive = nullptr;
  std::size_t size = 0;
  std::FILE* index = std::fopen(argv[2], "r");
  if (!MapWholeFile(argv[1], &archive, &size) || index == nullptr) return 2;
  mkdir(argv[3], 0755);
  unsigned long offset = 0, compressed = 0, uncompressed = 0;
  char name[512];
  int failed = 0;
  while (std::fscanf(index, "%lu %lu %lu %511s", &offset, &compressed, &uncompressed, name) == 4) {
    const std::string path = std::string(argv[3]) + "/" + name;
    const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || offset + compressed > size || !Inflate(archive + offset, compressed, out)) ++failed;
    if (out >= 0) close(out);
  }
  std::fclose(index);
  return failed == 0 ? 0 : 1;
}
