#include "payload/zip_reader.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "payload/zip_archive.h"
#include "payload/zip_names.h"

namespace {

constexpr std::uint32_t kPathSize = 260;
constexpr std::uint32_t kOutputSize = 16384;

constexpr std::uint16_t kExtendedTimestampId = 0x5455;  // "UT"
constexpr std::int64_t kUnixEpochFileTime = 116444736000000000;
constexpr std::int64_t kFileTimeUnitsPerSecond = 10000000;

std::uint16_t Le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

std::uint32_t Le32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A name that Windows takes as absolute: a leading separator or a drive prefix.
bool IsAbsolute(const char* name) { return IsSeparator(name[0]) || (name[0] != '\0' && name[1] == ':'); }

// Windows attributes from the external attributes, by the host system that wrote the entry.
std::uint32_t AttributesOf(const ZipCentralFields& fields) {
  const std::uint32_t external = fields.externalAttributes;
  const unsigned host = fields.versionMadeBy >> 8;
  bool directory = (external & 0x40000000u) != 0;
  bool readOnly = (external & 0x00800000u) == 0;
  bool hidden = false;
  bool system = false;
  bool archive = true;
  if (host == 0 || host == 7 || host == 11 || host == 14) {
    readOnly = (external & 0x01) != 0;
    hidden = (external & 0x02) != 0;
    system = (external & 0x04) != 0;
    directory = (external & 0x10) != 0;
    archive = (external & 0x20) != 0;
  }
  return (directory ? platform::kFileAttributeDirectory : 0) | (archive ? platform::kFileAttributeArchive : 0) |
         (hidden ? platform::kFileAttributeHidden : 0) | (readOnly ? platform::kFileAttributeReadOnly : 0) |
         (system ? platform::kFileAttributeSystem : 0);
}

platform::SystemTime DosLocalTime(std::uint32_t dosDateTime) {
  const std::uint32_t time = dosDateTime & 0xFFFF;
  const std::uint32_t date = dosDateTime >> 16;
  platform::SystemTime local;
  local.year = static_cast<std::uint16_t>(1980 + (date >> 9));
  local.month = static_cast<std::uint16_t>((date >> 5) & 0x0F);
  local.day = static_cast<std::uint16_t>(date & 0x1F);
  local.hour = static_cast<std::uint16_t>(time >> 11);
  local.minute = static_cast<std::uint16_t>((time >> 5) & 0x3F);
  local.second = static_cast<std::uint16_t>(2 * (time & 0x1F));
  return local;
}

// The DOS time as a UTC file time. A date or time that is no calendar time gives the earliest
// DOS time, 1980-01-01 00:00:00 local time.
std::uint64_t DosFileTime(platform::ISystem& system, std::uint32_t dosDateTime) {
  std::uint64_t fileTime = 0;
  if (system.LocalTimeToUtcFileTime(DosLocalTime(dosDateTime), &fileTime)) return fileTime;
  platform::SystemTime earliest;
  earliest.year = 1980;
  earliest.month = 1;
  earliest.day = 1;
  if (system.LocalTimeToUtcFileTime(earliest, &fileTime)) return fileTime;
  return 0;
}

std::uint64_t UnixFileTime(std::int32_t seconds) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(seconds) * kFileTimeUnitsPerSecond + kUnixEpochFileTime);
}

// Takes the times of an extended timestamp block; only the times the block's data really holds.
void ApplyTimestamp(const std::uint8_t* data, std::uint32_t size, ZipEntryInfo* info) {
  if (size < 1) return;
  const std::uint8_t flags = data[0];
  std::uint64_t* const targets[] = {&info->writeTime, &info->accessTime, &info->creationTime};
  std::uint32_t at = 1;
  for (int bit = 0; bit < 3; ++bit) {
    if (!(flags & (1u << bit))) continue;
    if (at + 4 > size) return;
    *targets[bit] = UnixFileTime(static_cast<std::int32_t>(Le32(data + at)));
    at += 4;
  }
}

// Walks the blocks of a local extra field for the extended timestamp; a block whose data runs
// past the field ends the walk unread.
void ApplyExtraField(const std::uint8_t* extra, std::uint32_t length, ZipEntryInfo* info) {
  if (length <= 4) return;
  std::uint32_t offset = 0;
  while (offset + 4 < length) {
    const std::uint16_t id = Le16(extra + offset);
    const std::uint32_t size = Le16(extra + offset + 2);
    if (offset + 4 + size > length) return;
    if (id == kExtendedTimestampId) {
      ApplyTimestamp(extra + offset + 4, size, info);
      return;
    }
    offset += 4 + size;
  }
}

// Joins the base (which ends with its separator) and a name into a 260-byte path; false when
// they do not fit.
bool JoinPath(char* path, const char* base, const char* name) {
  const int length = std::snprintf(path, kPathSize, "%s%s", base, name);
  return length >= 0 && static_cast<std::uint32_t>(length) < kPathSize;
}

// The directories above one entry, held open from the base down while the entry is unpacked:
// each is checked to be a plain directory when it is opened, and none can be swapped for a link
// while it is held, so the entry's path leads through exactly the directories that were checked.
class HeldDirectories {
 public:
  explicit HeldDirectories(platform::IFileSystem& files) : files_(files) {}
  ~HeldDirectories() {
    while (count_ > 0) files_.CloseDirectory(held_[--count_]);
  }
  HeldDirectories(const HeldDirectories&) = delete;
  HeldDirectories& operator=(const HeldDirectories&) = delete;

  // Creates the directory when nothing is there, then holds it; false when what stands there is
  // no plain directory (a link, a junction, another reparse point, a file) or cannot be held.
  bool Hold(const char* path) {
    if (count_ == kMostLevels) return false;
    if (files_.GetFileAttributes(path) == platform::kInvalidFileAttributes) {
      // Not examined: whatever stands there now is checked when it is opened.
      (void)files_.CreateDirectory(path);
    }
    const platform::DirectoryRef directory = files_.OpenDirectory(path);
    if (directory == 0) return false;
    held_[count_++] = directory;
    return true;
  }

 private:
  static constexpr std::size_t kMostLevels = kPathSize / 2;  // a level takes a name and a separator

  platform::IFileSystem& files_;
  platform::DirectoryRef held_[kMostLevels] = {};
  std::size_t count_ = 0;
};

}  // namespace

class ZipReader {
 public:
  explicit ZipReader(platform::Platform& machine) : machine_(machine) {}
  ~ZipReader() {
    ZipArchive::CloseArchive(archive_);
    zip_memory::Free(output_);
  }

  bool Open(const void* block, std::uint32_t size) {
    InitialBase();
    archive_ = ZipArchive::OpenArchive(block, size);
    return archive_ != nullptr;
  }

  ZipStatus GetEntry(std::int32_t index, ZipEntryInfo* info);
  ZipStatus SetBase(const char* path);
  ZipStatus Extract(std::int32_t index, const char* name);
  ZipStatus ReadToMemory(const char* name, std::string* bytes);

 private:
  bool InRange(std::int32_t index) const { return index >= 0 && index < archive_->entryCount; }
  void InitialBase();
  ZipStatus Describe(std::int32_t index, ZipEntryInfo* info);
  ZipStatus ReadTimes(const ZipLocalLayout& layout, ZipEntryInfo* info);
  bool HoldChain(const char* base, const char* path, HeldDirectories* held);
  ZipStatus WriteFile(const char* path, const ZipEntryInfo& info);
  ZipStatus Unpack(platform::FileRef file, const ZipEntryInfo& info);
  bool EnsureOutput();
  template <typename Sink>
  ZipStatus ReadEntryData(Sink&& sink);
  void RemovePartial(const char* path, std::uint32_t attributes);

  platform::Platform& machine_;
  ZipArchive* archive_ = nullptr;
  ZipEntryInfo cached_;
  std::int32_t cachedIndex_ = -1;
  std::uint8_t* output_ = nullptr;
  char base_[kPathSize] = {};
  bool baseValid_ = false;
};

void ZipReader::InitialBase() {
  char directory[kPathSize] = {};
  const std::uint32_t length = machine_.files->GetCurrentDirectory(kPathSize, directory);
  if (length == 0 || length >= kPathSize) return;
  SetBase(directory);
}

// A path that does not fit with its separator leaves no base at all, so that relative names
// are refused rather than unpacked somewhere else.
ZipStatus ZipReader::SetBase(const char* path) {
  if (path == nullptr) return ZipBadArgument;
  std::size_t length = std::strlen(path);
  const bool separated = length > 0 && IsSeparator(path[length - 1]);
  baseValid_ = length + (separated ? 0 : 1) < kPathSize;
  if (!baseValid_) {
    base_[0] = '\0';
    return ZipBadArgument;
  }
  std::memcpy(base_, path, length);
  if (!separated) base_[length++] = '\\';
  base_[length] = '\0';
  return ZipOk;
}

ZipStatus ZipReader::GetEntry(std::int32_t index, ZipEntryInfo* info) {
  if (info == nullptr || index < -1 || index >= archive_->entryCount) return ZipBadArgument;
  if (index == -1) {
    *info = ZipEntryInfo();
    info->index = archive_->entryCount;
    return ZipOk;
  }
  if (index != cachedIndex_ && !archive_->GoToEntry(static_cast<std::uint32_t>(index))) return ZipCorrupt;
  return Describe(index, info);
}

// The entry information of the current entry `index`, from the cache when it holds that index.
ZipStatus ZipReader::Describe(std::int32_t index, ZipEntryInfo* info) {
  if (index == cachedIndex_) {
    *info = cached_;
    return ZipOk;
  }
  ZipEntryInfo entry;
  char name[ZipArchive::kNameSize];
  if (!archive_->ReadCurrentRecord(name)) return ZipCorrupt;
  ZipLocalLayout layout;
  if (archive_->CheckLocalHeader(&layout) != ZipFailure::None) return ZipCorrupt;
  entry.index = static_cast<std::int32_t>(archive_->currentIndex);
  std::strcpy(entry.name, zip_names::SanitisedName(name));
  entry.attributes = AttributesOf(archive_->current);
  const ZipStatus times = ReadTimes(layout, &entry);
  if (times != ZipOk) return times;
  entry.compressedSize = archive_->current.compressedSize;
  entry.uncompressedSize = archive_->current.uncompressedSize;
  cached_ = entry;
  cachedIndex_ = index;
  *info = entry;
  return ZipOk;
}

ZipStatus ZipReader::ReadTimes(const ZipLocalLayout& layout, ZipEntryInfo* info) {
  const std::uint64_t dos = DosFileTime(*machine_.system, archive_->current.dosDateTime);
  info->accessTime = info->creationTime = info->writeTime = dos;
  if (layout.extraLength == 0) return ZipOk;
  auto* extra = static_cast<std::uint8_t*>(zip_memory::Allocate(layout.extraLength));
  if (extra == nullptr) return ZipReadError;
  const bool whole = archive_->ReadArchiveBytes(layout.extraOffset, layout.extraLength, extra) == layout.extraLength;
  if (whole) ApplyExtraField(extra, layout.extraLength, info);
  zip_memory::Free(extra);
  return whole ? ZipOk : ZipReadError;
}

// Creates the missing directories of `path` from the top down, under `base` when one is given
// (only the base's own last level is created), and holds each level open. False when a level is
// no plain directory. The caller has checked that base and path fit.
bool ZipReader::HoldChain(const char* base, const char* path, HeldDirectories* held) {
  if (base != nullptr && !held->Hold(base)) return false;
  if (path[0] == '\0') return true;
  char joined[kPathSize];
  const std::size_t baseLength = base == nullptr ? 0 : std::strlen(base);
  if (base != nullptr) std::memcpy(joined, base, baseLength);
  const std::size_t pathLength = std::strlen(path);
  std::memcpy(joined + baseLength, path, pathLength + 1);
  for (const char* at = path; *at != '\0'; at += zip_names::CharLength(at)) {
    if (at == path || !IsSeparator(*at)) continue;
    const std::size_t cut = baseLength + static_cast<std::size_t>(at - path);
    const char kept = joined[cut];
    joined[cut] = '\0';
    // A drive of an absolute name ("C:") is no directory level of its own.
    const bool drive = base == nullptr && at == path + 2 && path[1] == ':';
    const bool holds = drive || held->Hold(joined);
    joined[cut] = kept;
    if (!holds) return false;
  }
  // A path that ends with its separator has had its last level held in the loop.
  return IsSeparator(path[pathLength - 1]) || held->Hold(joined);
}

ZipStatus ZipReader::Extract(std::int32_t index, const char* name) {
  if (name == nullptr || !InRange(index)) return ZipBadArgument;
  if (!archive_->GoToEntry(static_cast<std::uint32_t>(index))) return ZipCorrupt;
  ZipEntryInfo info;
  const ZipStatus described = Describe(index, &info);
  if (described != ZipOk) return described;
  if (!zip_names::StaysInside(name) || !zip_names::NamesPlainFiles(name)) return ZipCannotOpen;
  const bool absolute = IsAbsolute(name);
  if (!absolute && !baseValid_) return ZipCannotOpen;
  const char* base = absolute ? nullptr : base_;
  char path[kPathSize];
  if (!JoinPath(path, base == nullptr ? "" : base, name)) return ZipCannotOpen;
  HeldDirectories held(*machine_.files);
  if (info.attributes & platform::kFileAttributeDirectory) {
    return HoldChain(base, name, &held) ? ZipOk : ZipCannotOpen;
  }
  const char* separator = zip_names::LastSeparator(name);
  char directory[kPathSize] = {};
  if (separator != nullptr) {
    const std::size_t length = static_cast<std::size_t>(separator - name) + 1;
    std::memcpy(directory, name, length);
    directory[length] = '\0';
  }
  if (!HoldChain(base, directory, &held)) return ZipCannotOpen;
  return WriteFile(path, info);
}

// An ordinary file of the entry's name from an earlier run is deleted, so that the new file is
// made afresh rather than opened: what is opened could be a hard link to a file elsewhere. A
// link, a directory or a read-only file in its place stays, and the creation then fails.
ZipStatus ZipReader::WriteFile(const char* path, const ZipEntryInfo& info) {
  const std::uint32_t existing = machine_.files->GetFileAttributes(path);
  const std::uint32_t kept = platform::kFileAttributeDirectory | platform::kFileAttributeReparsePoint |
                             platform::kFileAttributeReadOnly;
  if (existing != platform::kInvalidFileAttributes && (existing & kept) == 0) {
    // Not examined: a file that stays makes the creation fail.
    (void)machine_.files->DeleteFile(path);
  }
  if (!EnsureOutput()) return ZipInflateError;
  const platform::FileRef file = machine_.files->CreateFileForWrite(path, info.attributes);
  if (file == 0) return ZipCannotOpen;
  archive_->OpenEntryData();
  ZipStatus status = Unpack(file, info);
  machine_.files->CloseFile(file);
  if (archive_->CloseEntryData() == ZipFailure::Crc && status == ZipOk) status = ZipInflateError;
  if (status != ZipOk) RemovePartial(path, info.attributes);
  return status;
}

// The output buffer, allocated by the first unpack and kept for the next ones.
bool ZipReader::EnsureOutput() {
  if (output_ == nullptr) output_ = static_cast<std::uint8_t*>(zip_memory::Allocate(kOutputSize));
  return output_ != nullptr;
}

// Reads the open entry data to its end through the output buffer, handing every piece to
// `sink`, which answers false when it could not take the piece.
template <typename Sink>
ZipStatus ZipReader::ReadEntryData(Sink&& sink) {
  for (;;) {
    const ZipReadResult read = archive_->ReadEntryData(output_, kOutputSize);
    if (read.failure == ZipFailure::BadPassword) return ZipBadPassword;
    if (read.failure != ZipFailure::None) return ZipInflateError;
    if (read.delivered > 0 && !sink(output_, read.delivered)) return ZipWriteError;
    if (read.end) return ZipOk;
    if (read.delivered == 0) return ZipInflateError;
  }
}

ZipStatus ZipReader::Unpack(platform::FileRef file, const ZipEntryInfo& info) {
  const ZipStatus status = ReadEntryData(
      [&](const std::uint8_t* data, std::uint32_t size) { return machine_.files->WriteFile(file, data, size); });
  if (status == ZipOk) machine_.files->SetFileTime(file, info.creationTime, info.accessTime, info.writeTime);
  return status;
}

// A file that failed part way is not left behind, so that no truncated or corrupt file is
// taken for a good one.
void ZipReader::RemovePartial(const char* path, std::uint32_t attributes) {
  if (attributes & platform::kFileAttributeReadOnly) {
    machine_.files->SetFileAttributes(path, attributes & ~platform::kFileAttributeReadOnly);
  }
  machine_.files->DeleteFile(path);
}

ZipHandle ZipOpenMemory(platform::Platform& machine, const void* block, std::uint32_t size) {
  void* memory = zip_memory::Allocate(sizeof(ZipReader));
  if (memory == nullptr) return nullptr;
  ZipReader* reader = new (memory) ZipReader(machine);
  if (!reader->Open(block, size)) {
    reader->~ZipReader();
    zip_memory::Free(memory);
    return nullptr;
  }
  return reader;
}

ZipStatus ZipGetEntry(ZipHandle handle, std::int32_t index, ZipEntryInfo* info) {
  if (handle == nullptr) return ZipBadArgument;
  return handle->GetEntry(index, info);
}

ZipStatus ZipSetBaseDirectory(ZipHandle handle, const char* path) {
  if (handle == nullptr) return ZipBadArgument;
  return handle->SetBase(path);
}

ZipStatus ZipExtractEntry(ZipHandle handle, std::int32_t index, const char* name) {
  if (handle == nullptr) return ZipBadArgument;
  return handle->Extract(index, name);
}

ZipStatus ZipClose(ZipHandle handle) {
  if (handle == nullptr) return ZipBadArgument;
  handle->~ZipReader();
  zip_memory::Free(handle);
  return ZipOk;
}

namespace {

char FoldedNameChar(char c) {
  if (c == '\\') return '/';
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Entry names as a file system without letter case would take them: "/" and "\\" alike.
bool SameEntryName(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (FoldedNameChar(*a) != FoldedNameChar(*b)) return false;
  }
  return *a == *b;
}

}  // namespace

// The bytes never grow past the entry's recorded size, whatever the data delivers.
ZipStatus ZipReader::ReadToMemory(const char* name, std::string* bytes) {
  if (name == nullptr || bytes == nullptr) return ZipBadArgument;
  ZipEntryInfo info;
  std::int32_t index = 0;
  for (; index < archive_->entryCount; ++index) {
    if (GetEntry(index, &info) != ZipOk) continue;
    if ((info.attributes & platform::kFileAttributeDirectory) == 0 && SameEntryName(info.name, name)) break;
  }
  if (index == archive_->entryCount) return ZipBadArgument;
  if (!archive_->GoToEntry(static_cast<std::uint32_t>(index))) return ZipCorrupt;
  if (!EnsureOutput()) return ZipInflateError;
  bytes->clear();
  archive_->OpenEntryData();
  ZipStatus status = ReadEntryData([&](const std::uint8_t* data, std::uint32_t size) {
    if (size > info.uncompressedSize - bytes->size()) return false;
    bytes->append(reinterpret_cast<const char*>(data), size);
    return true;
  });
  if (archive_->CloseEntryData() == ZipFailure::Crc && status == ZipOk) status = ZipInflateError;
  return status;
}

ZipStatus ZipReadEntryToMemory(ZipHandle handle, const char* name, std::string* bytes) {
  if (handle == nullptr) return ZipBadArgument;
  return handle->ReadToMemory(name, bytes);
}
