// The lower layer of the ZIP reader: the structure of an archive that lies whole in memory, and
// the data of its entries, stored or deflated, fetched and checked in 16 KiB pieces. The archive
// is read in place from the caller's block, which must outlive the archive.
#pragma once

#include <cstddef>
#include <cstdint>

// Why an operation of this layer failed.
enum class ZipFailure {
  None,
  ShortRead,    // the block ended before the bytes asked for
  BadArchive,   // a wrong signature or an inconsistent record
  NoEntry,      // no current entry, or no open entry data
  BadPassword,  // the check byte of an encrypted entry does not match
  Inflate,      // inflate reported an error, or the data does not fill the entry
  Crc,          // all bytes were delivered and their CRC-32 differs from the recorded one
  NoMemory,     // an allocation failed
};

// The memory of the reader's buffers and of the inflate streams comes from here, so that tests
// can make allocations fail and measurements can count them.
namespace zip_memory {
// Allocates `size` bytes; null when the allocation fails.
void* Allocate(std::size_t size);
// Frees what Allocate returned (null is ignored).
void Free(void* block);
// Makes the allocation after `skip` successful ones fail, and every later one; -1 stops failing.
void FailAfter(int skip);
}  // namespace zip_memory

// Reads and seeks inside a block and never outside it.
struct BlockSource {
  enum class From { Start, Current, End };
  const std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  std::uint64_t position = 0;  // may lie past the end; reads there deliver nothing

  // Moves the position; never fails.
  void Seek(From from, std::int64_t offset);
  // Copies min(count, bytes left) bytes from the position and advances it: the count copied.
  std::uint32_t Read(void* buffer, std::uint32_t count);
};

// The central record fields of the current entry.
struct ZipCentralFields {
  std::uint16_t versionMadeBy = 0;
  std::uint16_t versionNeeded = 0;
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t dosDateTime = 0;  // time in the low 16 bits, date in the high 16 bits
  std::uint32_t crc32 = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint16_t nameLength = 0;
  std::uint16_t extraLength = 0;
  std::uint16_t commentLength = 0;
  std::uint16_t diskNumberStart = 0;
  std::uint16_t internalAttributes = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t localHeaderOffset = 0;
};

// Where the current entry's local extra field and data lie (archive offsets).
struct ZipLocalLayout {
  std::uint64_t extraOffset = 0;
  std::uint16_t extraLength = 0;
  std::uint64_t dataOffset = 0;
};

struct ZipEntryStream;

// What ReadEntryData gave.
struct ZipReadResult {
  std::uint32_t delivered = 0;
  bool end = false;
  ZipFailure failure = ZipFailure::None;
};

class ZipArchive {
 public:
  static constexpr std::uint32_t kInputSize = 16384;
  static constexpr std::uint32_t kNameSize = 260;

  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Opens the archive in the block and goes to its first entry; null when the block holds no
  // readable archive or memory runs out (*failure says which, when given).
  static ZipArchive* OpenArchive(const void* block, std::uint32_t size, ZipFailure* failure = nullptr);
  // Closes any open entry data and frees the archive (null is ignored).
  static void CloseArchive(ZipArchive* archive);

  // Makes entry n the current entry; fails when n is out of range or a record on the way (or
  // entry n's own) cannot be read.
  bool GoToEntry(std::uint32_t n);
  // Reads the current central record again with its name (NUL-terminated) into a 260-byte
  // buffer; fails for an unreadable record and for a name of 260 bytes or more.
  bool ReadCurrentRecord(char* name);
  // Validates the current entry's local header against its central record; BadArchive or
  // ShortRead on failure.
  ZipFailure CheckLocalHeader(ZipLocalLayout* layout);
  // Copies up to `length` archive bytes from `offset`: the count delivered.
  std::uint32_t ReadArchiveBytes(std::uint64_t offset, std::uint32_t length, void* buffer);
  // Prepares the current entry's data for reading (closing any still open).
  ZipFailure OpenEntryData();
  // Delivers up to `request` bytes of the entry's unpacked data.
  ZipReadResult ReadEntryData(void* buffer, std::uint32_t request);
  // Ends the reading of the entry's data; Crc when all was delivered and the CRC-32 differs.
  ZipFailure CloseEntryData();

  std::uint16_t entryCount = 0;
  std::uint64_t prefixLength = 0;
  std::uint32_t endRecordPosition = 0;
  std::uint32_t centralSize = 0;
  std::uint32_t centralOffset = 0;
  std::uint32_t currentIndex = 0;
  std::uint64_t currentRecordOffset = 0;
  bool currentRecordRead = false;
  ZipCentralFields current;

 private:
  ZipArchive() = default;
  ~ZipArchive();

  bool FindEndRecord(std::uint32_t* position);
  bool ReadEndRecord(std::uint32_t position);
  void GoToFirstEntry();
  void GoToNextEntry();
  bool ReadRecordAt(std::uint64_t offset, ZipCentralFields* fields);
  bool SeekArchive(std::uint64_t offset);
  bool FillInput(ZipEntryStream& stream);

  BlockSource source_;
  ZipEntryStream* stream_ = nullptr;
};
