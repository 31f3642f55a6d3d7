// The program's ZIP reader as the rest of the program sees it: entry information with sanitised
// names, Windows attributes and file times, and unpacking under a base directory. Every
// operation but the open answers with a status code.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

using ZipStatus = std::uint32_t;

constexpr ZipStatus ZipOk = 0;
constexpr ZipStatus ZipBadArgument = 0x10000;
constexpr ZipStatus ZipCannotOpen = 0x200;
constexpr ZipStatus ZipCorrupt = 0x700;
constexpr ZipStatus ZipReadError = 0x800;
constexpr ZipStatus ZipWriteError = 0x400;
constexpr ZipStatus ZipBadPassword = 0x1000;
constexpr ZipStatus ZipInflateError = 0x5000000;

struct ZipEntryInfo {
  std::int32_t index = 0;
  char name[260] = {};
  std::uint32_t attributes = 0;
  std::uint64_t accessTime = 0;
  std::uint64_t creationTime = 0;
  std::uint64_t writeTime = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
};

class ZipReader;
using ZipHandle = ZipReader*;

// Opens the archive held in the block (which must outlive the handle); null when it cannot be read.
ZipHandle ZipOpenMemory(platform::Platform& machine, const void* block, std::uint32_t size);

// Fills the information of entry `index`; -1 asks for the entry count (in `index`).
ZipStatus ZipGetEntry(ZipHandle handle, std::int32_t index, ZipEntryInfo* info);

// Sets the directory that relative entry names are unpacked under.
ZipStatus ZipSetBaseDirectory(ZipHandle handle, const char* path);

// Unpacks entry `index` to the file (or directory) `name`.
ZipStatus ZipExtractEntry(ZipHandle handle, std::int32_t index, const char* name);

// Closes the archive and frees the reader.
ZipStatus ZipClose(ZipHandle handle);

// Unpacks the file entry called `name` into memory ("/" and "\\" alike, letters compared without
// regard to ASCII case) and checks it against its recorded CRC-32. ZipBadArgument when the
// archive holds no file entry of that name; *bytes is complete only with ZipOk.
ZipStatus ZipReadEntryToMemory(ZipHandle handle, const char* name, std::string* bytes);
