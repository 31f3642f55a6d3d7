#include "payload/zip_archive.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <zlib.h>

namespace zip_memory {

namespace {
int failSkip = -1;
}

void* Allocate(std::size_t size) {
  if (failSkip == 0) return nullptr;
  if (failSkip > 0) --failSkip;
  return std::malloc(size);
}

void Free(void* block) { std::free(block); }

void FailAfter(int skip) { failSkip = skip; }

}  // namespace zip_memory

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;

constexpr std::uint32_t kEndRecordSize = 22;
constexpr std::uint32_t kCentralRecordSize = 46;
constexpr std::uint32_t kLocalHeaderSize = 30;

constexpr std::uint32_t kSearchTail = 65535;
constexpr std::uint32_t kSearchStep = 1024;
constexpr std::uint32_t kSearchChunk = kSearchStep + 4;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint32_t kEncryptionHeaderSize = 12;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

std::uint16_t Le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

std::uint32_t Le32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

// End-of-central-directory record.
namespace end_record {
constexpr int kDisk = 4;
constexpr int kCentralDisk = 6;
constexpr int kEntriesHere = 8;
constexpr int kEntriesTotal = 10;
constexpr int kCentralSize = 12;
constexpr int kCentralOffset = 16;
}  // namespace end_record

// Central directory record.
namespace central {
constexpr int kVersionMadeBy = 4;
constexpr int kVersionNeeded = 6;
constexpr int kFlags = 8;
constexpr int kMethod = 10;
constexpr int kDosDateTime = 12;
constexpr int kCrc32 = 16;
constexpr int kCompressedSize = 20;
constexpr int kUncompressedSize = 24;
constexpr int kNameLength = 28;
constexpr int kExtraLength = 30;
constexpr int kCommentLength = 32;
constexpr int kDiskNumberStart = 34;
constexpr int kInternalAttributes = 36;
constexpr int kExternalAttributes = 38;
constexpr int kLocalHeaderOffset = 42;
}  // namespace central

// Local file header.
namespace local {
constexpr int kFlags = 6;
constexpr int kMethod = 8;
constexpr int kCrc32 = 14;
constexpr int kCompressedSize = 18;
constexpr int kUncompressedSize = 22;
constexpr int kNameLength = 26;
constexpr int kExtraLength = 28;
}  // namespace local

voidpf ZlibAlloc(voidpf, uInt items, uInt size) {
  return zip_memory::Allocate(static_cast<std::size_t>(items) * size);
}

void ZlibFree(voidpf, voidpf block) { zip_memory::Free(block); }

// The traditional encryption's key schedule, over the CRC-32 table.
struct Keys {
  std::uint32_t k0 = 0x12345678;
  std::uint32_t k1 = 0x23456789;
  std::uint32_t k2 = 0x34567890;

  static std::uint32_t CrcStep(const z_crc_t* table, std::uint32_t crc, std::uint8_t byte) {
    return (crc >> 8) ^ static_cast<std::uint32_t>(table[(crc ^ byte) & 0xFF]);
  }

  void Update(const z_crc_t* table, std::uint8_t plain) {
    k0 = CrcStep(table, k0, plain);
    k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
    k2 = CrcStep(table, k2, static_cast<std::uint8_t>(k1 >> 24));
  }

  std::uint8_t Decrypt(const z_crc_t* table, std::uint8_t cipher) {
    const std::uint32_t temp = (k2 | 2) & 0xFFFF;
    const std::uint8_t plain = static_cast<std::uint8_t>(cipher ^ ((temp * (temp ^ 1)) >> 8));
    Update(table, plain);
    return plain;
  }
};

}  // namespace

// The state of one entry whose data is being read.
struct ZipEntryStream {
  std::uint8_t* input = nullptr;
  std::uint32_t inputStart = 0;  // first unconsumed byte of the input buffer
  std::uint32_t available = 0;   // unconsumed bytes from there
  z_stream inflater{};
  bool inflateReady = false;
  std::uint64_t nextOffset = 0;
  std::uint32_t crc = 0;
  std::uint32_t expectedCrc = 0;
  std::uint32_t compressedLeft = 0;
  std::uint32_t uncompressedLeft = 0;
  std::uint16_t method = 0;
  bool encrypted = false;
  Keys keys;
  std::uint32_t headerLeft = 0;
  std::uint8_t checkByte = 0;
  std::uint8_t lastHeaderByte = 0;

  void Consume(std::uint32_t count) {
    inputStart += count;
    available -= count;
  }
};

void BlockSource::Seek(From from, std::int64_t offset) {
  std::int64_t base = 0;
  if (from == From::Current) base = static_cast<std::int64_t>(position);
  if (from == From::End) base = size;
  const std::int64_t target = base + offset;
  position = target < 0 ? 0 : static_cast<std::uint64_t>(target);
}

std::uint32_t BlockSource::Read(void* buffer, std::uint32_t count) {
  if (position >= size) return 0;
  const std::uint32_t left = static_cast<std::uint32_t>(size - position);
  const std::uint32_t delivered = std::min(count, left);
  if (delivered > 0) std::memcpy(buffer, data + position, delivered);
  position += delivered;
  return delivered;
}

ZipArchive::~ZipArchive() { CloseEntryData(); }

ZipArchive* ZipArchive::OpenArchive(const void* block, std::uint32_t size, ZipFailure* failure) {
  ZipFailure ignored;
  if (failure == nullptr) failure = &ignored;
  *failure = ZipFailure::BadArchive;
  if (block == nullptr) return nullptr;
  void* memory = zip_memory::Allocate(sizeof(ZipArchive));
  if (memory == nullptr) {
    *failure = ZipFailure::NoMemory;
    return nullptr;
  }
  ZipArchive* archive = new (memory) ZipArchive();
  archive->source_.data = static_cast<const std::uint8_t*>(block);
  archive->source_.size = size;
  std::uint32_t position = 0;
  if (!archive->FindEndRecord(&position) || !archive->ReadEndRecord(position)) {
    CloseArchive(archive);
    return nullptr;
  }
  archive->GoToFirstEntry();
  *failure = ZipFailure::None;
  return archive;
}

void ZipArchive::CloseArchive(ZipArchive* archive) {
  if (archive == nullptr) return;
  archive->~ZipArchive();
  zip_memory::Free(archive);
}

// Searches the last 65535 bytes backwards in chunks of 1028 bytes that overlap by 4, so that a
// signature straddling two chunks is still seen; the hit nearest the end wins.
bool ZipArchive::FindEndRecord(std::uint32_t* position) {
  const std::uint32_t tail = std::min(kSearchTail, source_.size);
  if (tail <= 4) return false;
  std::uint8_t chunk[kSearchChunk];
  std::uint32_t distance = 4;
  while (distance < tail) {
    distance = std::min(distance + kSearchStep, tail);
    const std::uint32_t start = source_.size - distance;
    const std::uint32_t length = std::min(kSearchChunk, distance);
    source_.Seek(BlockSource::From::Start, start);
    if (source_.Read(chunk, length) != length) return false;
    for (std::uint32_t at = length - 4 + 1; at-- > 0;) {
      if (Le32(chunk + at) == kEndSignature) {
        *position = start + at;
        return true;
      }
    }
  }
  return false;
}

bool ZipArchive::ReadEndRecord(std::uint32_t position) {
  std::uint8_t record[kEndRecordSize];
  source_.Seek(BlockSource::From::Start, position);
  if (source_.Read(record, kEndRecordSize) != kEndRecordSize) return false;
  const std::uint16_t entriesHere = Le16(record + end_record::kEntriesHere);
  if (Le16(record + end_record::kDisk) != 0 || Le16(record + end_record::kCentralDisk) != 0) return false;
  if (entriesHere != Le16(record + end_record::kEntriesTotal)) return false;
  centralSize = Le32(record + end_record::kCentralSize);
  centralOffset = Le32(record + end_record::kCentralOffset);
  const std::uint64_t centralEnd = static_cast<std::uint64_t>(centralOffset) + centralSize;
  if (position < centralEnd) return false;
  entryCount = entriesHere;
  endRecordPosition = position;
  prefixLength = position - centralEnd;
  return true;
}

bool ZipArchive::SeekArchive(std::uint64_t offset) {
  const std::uint64_t at = prefixLength + offset;
  if (at > source_.size) return false;
  source_.Seek(BlockSource::From::Start, static_cast<std::int64_t>(at));
  return true;
}

std::uint32_t ZipArchive::ReadArchiveBytes(std::uint64_t offset, std::uint32_t length, void* buffer) {
  if (!SeekArchive(offset)) return 0;
  return source_.Read(buffer, length);
}

bool ZipArchive::ReadRecordAt(std::uint64_t offset, ZipCentralFields* fields) {
  std::uint8_t record[kCentralRecordSize];
  if (ReadArchiveBytes(offset, kCentralRecordSize, record) != kCentralRecordSize) return false;
  if (Le32(record) != kCentralSignature) return false;
  fields->versionMadeBy = Le16(record + central::kVersionMadeBy);
  fields->versionNeeded = Le16(record + central::kVersionNeeded);
  fields->flags = Le16(record + central::kFlags);
  fields->method = Le16(record + central::kMethod);
  fields->dosDateTime = Le32(record + central::kDosDateTime);
  fields->crc32 = Le32(record + central::kCrc32);
  fields->compressedSize = Le32(record + central::kCompressedSize);
  fields->uncompressedSize = Le32(record + central::kUncompressedSize);
  fields->nameLength = Le16(record + central::kNameLength);
  fields->extraLength = Le16(record + central::kExtraLength);
  fields->commentLength = Le16(record + central::kCommentLength);
  fields->diskNumberStart = Le16(record + central::kDiskNumberStart);
  fields->internalAttributes = Le16(record + central::kInternalAttributes);
  fields->externalAttributes = Le32(record + central::kExternalAttributes);
  fields->localHeaderOffset = Le32(record + central::kLocalHeaderOffset);
  return true;
}

void ZipArchive::GoToFirstEntry() {
  currentIndex = 0;
  currentRecordOffset = centralOffset;
  currentRecordRead = entryCount > 0 && ReadRecordAt(currentRecordOffset, &current);
}

void ZipArchive::GoToNextEntry() {
  if (!currentRecordRead || currentIndex + 1 >= entryCount) return;
  ++currentIndex;
  currentRecordOffset += kCentralRecordSize + current.nameLength + current.extraLength + current.commentLength;
  currentRecordRead = ReadRecordAt(currentRecordOffset, &current);
}

// An unreadable record ends the walk: no step leads past it.
bool ZipArchive::GoToEntry(std::uint32_t n) {
  if (n >= entryCount) return false;
  if (n < currentIndex) GoToFirstEntry();
  while (currentIndex < n) {
    if (!currentRecordRead) return false;
    GoToNextEntry();
  }
  return currentRecordRead;
}

bool ZipArchive::ReadCurrentRecord(char* name) {
  ZipCentralFields fields;
  if (!ReadRecordAt(currentRecordOffset, &fields)) return false;
  if (fields.nameLength >= kNameSize) return false;
  const std::uint32_t read = ReadArchiveBytes(currentRecordOffset + kCentralRecordSize, fields.nameLength, name);
  if (read != fields.nameLength) return false;
  name[fields.nameLength] = '\0';
  current = fields;
  return true;
}

ZipFailure ZipArchive::CheckLocalHeader(ZipLocalLayout* layout) {
  if (!currentRecordRead) return ZipFailure::NoEntry;
  std::uint8_t header[kLocalHeaderSize];
  if (ReadArchiveBytes(current.localHeaderOffset, kLocalHeaderSize, header) != kLocalHeaderSize) {
    return ZipFailure::ShortRead;
  }
  if (Le32(header) != kLocalSignature) return ZipFailure::BadArchive;
  const std::uint16_t flags = Le16(header + local::kFlags);
  const std::uint16_t method = Le16(header + local::kMethod);
  if (method != current.method || (method != kMethodStored && method != kMethodDeflated)) {
    return ZipFailure::BadArchive;
  }
  if (!(flags & kFlagDataDescriptor) &&
      (Le32(header + local::kCrc32) != current.crc32 ||
       Le32(header + local::kCompressedSize) != current.compressedSize ||
       Le32(header + local::kUncompressedSize) != current.uncompressedSize)) {
    return ZipFailure::BadArchive;
  }
  if (Le16(header + local::kNameLength) != current.nameLength) return ZipFailure::BadArchive;
  layout->extraOffset = static_cast<std::uint64_t>(current.localHeaderOffset) + kLocalHeaderSize + current.nameLength;
  layout->extraLength = Le16(header + local::kExtraLength);
  layout->dataOffset = layout->extraOffset + layout->extraLength;
  return ZipFailure::None;
}

ZipFailure ZipArchive::OpenEntryData() {
  if (!currentRecordRead) return ZipFailure::NoEntry;
  CloseEntryData();
  ZipLocalLayout layout;
  const ZipFailure check = CheckLocalHeader(&layout);
  if (check != ZipFailure::None) return check;
  void* memory = zip_memory::Allocate(sizeof(ZipEntryStream));
  if (memory == nullptr) return ZipFailure::NoMemory;
  ZipEntryStream* stream = new (memory) ZipEntryStream();
  stream->input = static_cast<std::uint8_t*>(zip_memory::Allocate(kInputSize));
  if (stream->input == nullptr) {
    stream->~ZipEntryStream();
    zip_memory::Free(memory);
    return ZipFailure::NoMemory;
  }
  stream->method = current.method;
  if (stream->method == kMethodDeflated) {
    stream->inflater.zalloc = ZlibAlloc;
    stream->inflater.zfree = ZlibFree;
    stream->inflateReady = inflateInit2(&stream->inflater, -MAX_WBITS) == Z_OK;
  }
  stream->expectedCrc = current.crc32;
  stream->compressedLeft = current.compressedSize;
  stream->uncompressedLeft = current.uncompressedSize;
  stream->nextOffset = layout.dataOffset;
  stream->encrypted = (current.flags & kFlagEncrypted) != 0;
  stream->checkByte = (current.flags & kFlagDataDescriptor) ? static_cast<std::uint8_t>(current.dosDateTime >> 8)
                                                            : static_cast<std::uint8_t>(current.crc32 >> 24);
  stream->headerLeft = stream->encrypted ? kEncryptionHeaderSize : 0;
  stream_ = stream;
  return ZipFailure::None;
}

bool ZipArchive::FillInput(ZipEntryStream& stream) {
  const std::uint32_t count = std::min(kInputSize, stream.compressedLeft);
  if (ReadArchiveBytes(stream.nextOffset, count, stream.input) != count) return false;
  if (stream.encrypted) {
    const z_crc_t* table = get_crc_table();
    for (std::uint32_t i = 0; i < count; ++i) stream.input[i] = stream.keys.Decrypt(table, stream.input[i]);
  }
  stream.nextOffset += count;
  stream.compressedLeft -= count;
  stream.inputStart = 0;
  stream.available = count;
  return true;
}

// Every pass of the loop either delivers bytes, consumes input or fails, so a damaged entry
// ends with a failure and never spins.
ZipReadResult ZipArchive::ReadEntryData(void* buffer, std::uint32_t request) {
  ZipReadResult result;
  if (stream_ == nullptr) {
    result.failure = ZipFailure::NoEntry;
    return result;
  }
  ZipEntryStream& stream = *stream_;
  if (stream.method == kMethodDeflated && !stream.inflateReady) {
    result.failure = ZipFailure::Inflate;
    return result;
  }
  const std::uint32_t deliverable = std::min(request, stream.uncompressedLeft);
  if (deliverable == 0) {
    result.end = true;
    return result;
  }
  std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
  while (result.delivered < deliverable) {
    if (stream.available == 0 && stream.compressedLeft > 0 && !FillInput(stream)) {
      result.failure = ZipFailure::ShortRead;
      return result;
    }
    if (stream.headerLeft > 0) {
      const std::uint32_t count = std::min(stream.headerLeft, stream.available);
      if (count == 0) {
        result.failure = ZipFailure::ShortRead;
        return result;
      }
      stream.lastHeaderByte = stream.input[stream.inputStart + count - 1];
      stream.Consume(count);
      stream.headerLeft -= count;
      if (stream.headerLeft == 0 && stream.lastHeaderByte != stream.checkByte) {
        result.failure = ZipFailure::BadPassword;
        return result;
      }
      continue;
    }
    const std::uint32_t space = deliverable - result.delivered;
    std::uint8_t* target = out + result.delivered;
    if (stream.method == kMethodStored) {
      const std::uint32_t count = std::min(space, stream.available);
      if (count == 0) {  // the stored data ends before the entry's size
        result.failure = ZipFailure::ShortRead;
        return result;
      }
      std::memcpy(target, stream.input + stream.inputStart, count);
      stream.Consume(count);
      stream.crc = static_cast<std::uint32_t>(crc32(stream.crc, target, count));
      stream.uncompressedLeft -= count;
      result.delivered += count;
      if (stream.uncompressedLeft == 0) {
        result.end = true;
        return result;
      }
      continue;
    }
    z_stream& z = stream.inflater;
    z.next_in = stream.input + stream.inputStart;
    z.avail_in = stream.available;
    z.next_out = target;
    z.avail_out = space;
    const int status = inflate(&z, Z_NO_FLUSH);
    const std::uint32_t made = space - z.avail_out;
    stream.Consume(stream.available - z.avail_in);
    stream.crc = static_cast<std::uint32_t>(crc32(stream.crc, target, made));
    stream.uncompressedLeft -= made;
    result.delivered += made;
    if (status == Z_STREAM_END && stream.uncompressedLeft > 0) {  // the stream is shorter than the entry
      result.failure = ZipFailure::Inflate;
      return result;
    }
    if (status == Z_STREAM_END || stream.uncompressedLeft == 0) {
      result.end = true;
      return result;
    }
    if (status != Z_OK) {
      result.failure = ZipFailure::Inflate;
      return result;
    }
  }
  return result;
}

ZipFailure ZipArchive::CloseEntryData() {
  if (stream_ == nullptr) return ZipFailure::NoEntry;
  ZipEntryStream* stream = stream_;
  stream_ = nullptr;
  const ZipFailure result =
      stream->uncompressedLeft == 0 && stream->crc != stream->expectedCrc ? ZipFailure::Crc : ZipFailure::None;
  if (stream->inflateReady) inflateEnd(&stream->inflater);
  zip_memory::Free(stream->input);
  stream->~ZipEntryStream();
  zip_memory::Free(stream);
  return result;
}
