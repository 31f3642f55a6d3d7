// The archive layer: finding and checking the records, walking the central directory, and
// reading stored, deflated and encrypted entry data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/zip_archive.h"
#include "zip_test_archive.h"

namespace {

using zip_test::Archive;
using zip_test::Build;
using zip_test::Entry;

struct Closer {
  void operator()(ZipArchive* archive) const { ZipArchive::CloseArchive(archive); }
};
using ArchivePtr = std::unique_ptr<ZipArchive, Closer>;

ArchivePtr Open(const std::string& bytes) {
  return ArchivePtr(ZipArchive::OpenArchive(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
}

// Reads the current entry's data in pieces of `request` bytes; the failure ends the reading.
struct Drained {
  std::string data;
  ZipFailure failure = ZipFailure::None;
  ZipFailure close = ZipFailure::None;
  int reads = 0;
};

Drained Drain(ZipArchive& archive, std::uint32_t request = 16384) {
  Drained result;
  EXPECT_EQ(archive.OpenEntryData(), ZipFailure::None);
  std::vector<char> buffer(request);
  for (int guard = 0; guard < 100000; ++guard) {
    const ZipReadResult read = archive.ReadEntryData(buffer.data(), request);
    ++result.reads;
    result.data.append(buffer.data(), read.delivered);
    if (read.failure != ZipFailure::None) {
      result.failure = read.failure;
      break;
    }
    if (read.end) break;
    if (read.delivered == 0) {
      ADD_FAILURE() << "a read delivered nothing without reaching the end";
      break;
    }
  }
  result.close = archive.CloseEntryData();
  return result;
}

std::vector<Entry> ThreeEntries() {
  return {{"a.txt", "first entry"}, {"dir/b.bin", zip_test::Noise(70000)}, {"c.txt", "third", 0}};
}

TEST(ZipArchiveTest, OpensBehindPrefixesAndLongCommentsAndReadsEveryEntry) {
  struct Case {
    std::string prefix;
    std::size_t comment;
  };
  // 1022 puts the signature across the boundary of the first two search chunks.
  const Case cases[] = {{"", 0}, {std::string(5000, 'x'), 0}, {"MZ", 1022}, {"", 1019}, {"", 6000}, {"", 65513}};
  for (const Case& c : cases) {
    SCOPED_TRACE("prefix " + std::to_string(c.prefix.size()) + ", comment " + std::to_string(c.comment));
    const Archive built = Build(ThreeEntries(), c.prefix, std::string(c.comment, 'c'));
    ArchivePtr archive = Open(built.bytes);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->prefixLength, c.prefix.size());
    EXPECT_EQ(archive->entryCount, 3);
    const std::vector<Entry> entries = ThreeEntries();
    for (std::uint32_t i = 0; i < 3; ++i) {
      ASSERT_TRUE(archive->GoToEntry(i));
      char name[260];
      ASSERT_TRUE(archive->ReadCurrentRecord(name));
      EXPECT_EQ(std::string(name), entries[i].name);
      const Drained read = Drain(*archive);
      EXPECT_EQ(read.failure, ZipFailure::None);
      EXPECT_EQ(read.close, ZipFailure::None);
      EXPECT_TRUE(read.data == entries[i].data);
    }
  }
}

TEST(ZipArchiveTest, RefusesBlocksWithoutAReadableEndRecord) {
  const Archive good = Build(ThreeEntries());
  const std::size_t end = good.end;
  auto patched = [&](std::size_t field, std::uint32_t value, bool wide) {
    std::string bytes = good.bytes;
    if (wide) zip_test::Put32(bytes, end + field, value);
    else zip_test::Put16(bytes, end + field, static_cast<std::uint16_t>(value));
    return bytes;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string farComment = good.bytes.substr(0, end) + std::string(70000, 'c');
  const Case cases[] = {
      {"empty block", ""},
      {"four bytes", "PK\x05\x06"},
      {"no signature", std::string(3000, 'z')},
      {"signature before the searched tail", farComment},
      {"end record cut short", good.bytes.substr(0, end + 10)},
      {"other disk", patched(4, 1, false)},
      {"central directory on another disk", patched(6, 1, false)},
      {"entry counts differ", patched(10, 4, false)},
      {"central directory ends after the end record", patched(16, static_cast<std::uint32_t>(end), true)},
      {"offset and size wrap around 32 bits", patched(16, 0xFFFFFFF0u, true)},
  };
  for (const Case& c : cases) {
    ZipFailure failure = ZipFailure::None;
    ZipArchive* archive = ZipArchive::OpenArchive(c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()), &failure);
    EXPECT_EQ(archive, nullptr) << c.what;
    EXPECT_EQ(failure, ZipFailure::BadArchive) << c.what;
    ZipArchive::CloseArchive(archive);
  }
}

TEST(ZipArchiveTest, WalksThirtyEntriesInAnyOrder) {
  std::vector<Entry> entries;
  for (int i = 0; i < 30; ++i) entries.push_back({"file" + std::to_string(i) + ".txt", "content " + std::to_string(i)});
  const Archive built = Build(entries);
  ArchivePtr archive = Open(built.bytes);
  ASSERT_NE(archive, nullptr);
  for (std::uint32_t index : {5u, 2u, 29u, 0u, 17u}) {
    ASSERT_TRUE(archive->GoToEntry(index));
    EXPECT_EQ(archive->currentIndex, index);
    char name[260];
    ASSERT_TRUE(archive->ReadCurrentRecord(name));
    EXPECT_EQ(std::string(name), entries[index].name);
    EXPECT_EQ(Drain(*archive).data, entries[index].data);
  }
  EXPECT_FALSE(archive->GoToEntry(30));
}

TEST(ZipArchiveTest, AnUnreadableCentralRecordEndsTheWalkWithAFailure) {
  const Archive good = Build(ThreeEntries());
  std::string badSignature = good.bytes;
  badSignature[good.central[1]] = 'X';
  std::string runsPastBlock = good.bytes;  // the second record's name claims the rest of the block and more
  zip_test::Put16(runsPastBlock, good.central[0] + 28, 0xFFFF);
  std::string longName = good.bytes;  // a name of 260 bytes cannot be handed out whole
  zip_test::Put16(longName, good.central[1] + 28, 260);
  for (const std::string* bytes : {&badSignature, &runsPastBlock}) {
    ArchivePtr archive = Open(*bytes);
    ASSERT_NE(archive, nullptr);
    EXPECT_TRUE(archive->GoToEntry(0));
    EXPECT_FALSE(archive->GoToEntry(2));
    EXPECT_FALSE(archive->GoToEntry(1));
    EXPECT_EQ(archive->OpenEntryData(), ZipFailure::NoEntry);
    EXPECT_TRUE(archive->GoToEntry(0));
  }
  ArchivePtr archive = Open(longName);
  ASSERT_TRUE(archive->GoToEntry(1));
  char name[260];
  EXPECT_FALSE(archive->ReadCurrentRecord(name));
}

TEST(ZipArchiveTest, ChecksTheLocalHeaderAgainstTheCentralRecord) {
  const Archive good = Build({{"a.txt", "hello hello hello", 0}});
  const std::size_t local = good.local[0];
  struct Case {
    const char* what;
    std::size_t field;
    std::uint32_t value;
    int width;
    ZipFailure expected;
  };
  const Case cases[] = {
      {"unchanged", 0, 0, 0, ZipFailure::None},
      {"signature", 0, 0x04034b51, 4, ZipFailure::BadArchive},
      {"method 8 against central 0", 8, 8, 2, ZipFailure::BadArchive},
      {"CRC-32", 14, 1, 4, ZipFailure::BadArchive},
      {"compressed size", 18, 1, 4, ZipFailure::BadArchive},
      {"uncompressed size", 22, 1, 4, ZipFailure::BadArchive},
      {"name length", 26, 4, 2, ZipFailure::BadArchive},
      {"bit 3 with zero CRC-32 and sizes", 6, 8, 2, ZipFailure::None},
  };
  for (const Case& c : cases) {
    std::string bytes = good.bytes;
    if (c.width == 2) zip_test::Put16(bytes, local + c.field, static_cast<std::uint16_t>(c.value));
    if (c.width == 4) zip_test::Put32(bytes, local + c.field, c.value);
    if (c.field == 6) {
      for (std::size_t field : {14u, 18u, 22u}) zip_test::Put32(bytes, local + field, 0);
    }
    ArchivePtr archive = Open(bytes);
    ASSERT_NE(archive, nullptr) << c.what;
    ZipLocalLayout layout;
    EXPECT_EQ(archive->CheckLocalHeader(&layout), c.expected) << c.what;
    if (c.expected == ZipFailure::None) {
      EXPECT_EQ(layout.dataOffset, good.data[0]) << c.what;
      EXPECT_EQ(Drain(*archive).data, "hello hello hello") << c.what;
    }
  }
  // Method 12 in both records, and a local header beyond the block.
  std::string bzip = good.bytes;
  zip_test::Put16(bzip, local + 8, 12);
  zip_test::Put16(bzip, good.central[0] + 10, 12);
  std::string beyond = good.bytes;
  zip_test::Put32(beyond, good.central[0] + 42, 0x7FFFFFF0);
  ZipLocalLayout layout;
  EXPECT_EQ(Open(bzip)->CheckLocalHeader(&layout), ZipFailure::BadArchive);
  EXPECT_EQ(Open(beyond)->CheckLocalHeader(&layout), ZipFailure::ShortRead);
}

TEST(ZipArchiveTest, StoredAndDeflatedDataArriveWholeAndEndWithTheirLastBytes) {
  const std::string content = zip_test::Noise(3 * 4096);
  const Archive built = Build({{"stored", content, 0}, {"deflated", content, 8}, {"empty", "", 8}, {"empty0", "", 0}});
  ArchivePtr archive = Open(built.bytes);
  for (std::uint32_t index : {0u, 1u}) {
    ASSERT_TRUE(archive->GoToEntry(index));
    const Drained read = Drain(*archive, 4096);
    EXPECT_EQ(read.data, content);
    EXPECT_EQ(read.reads, 3) << "the end comes with the last bytes";
    EXPECT_EQ(read.close, ZipFailure::None);
  }
  for (std::uint32_t index : {2u, 3u}) {
    ASSERT_TRUE(archive->GoToEntry(index));
    const Drained read = Drain(*archive);
    EXPECT_EQ(read.reads, 1);
    EXPECT_EQ(read.data, "");
    EXPECT_EQ(read.close, ZipFailure::None);
  }
}

TEST(ZipArchiveTest, DamagedDataFailsInsteadOfDeliveringSilently) {
  const std::string content = zip_test::Noise(50000);
  const Archive built = Build({{"deflated", content, 8}, {"stored", content, 0}});
  const std::size_t deflatedSize = built.data[0] < built.local[1] ? built.local[1] - built.data[0] : 0;
  struct Case {
    const char* what;
    std::uint32_t index;
    std::size_t at;      // block offset to patch
    std::uint32_t value;
    int width;           // 1: xor a byte, 4: write a 32-bit field
    bool failsOrCrc;
  };
  const Case cases[] = {
      {"altered deflated byte", 0, built.data[0] + deflatedSize / 2, 0x5A, 1, true},
      {"wrong CRC-32 of a stored entry", 1, built.central[1] + 16, 0x12345678, 4, true},
      {"stored data shorter than its size", 1, built.central[1] + 20, 100, 4, true},
      {"deflated stream shorter than the size", 0, built.central[0] + 24, 60000, 4, true},
      {"deflated data cut short", 0, built.central[0] + 20, static_cast<std::uint32_t>(deflatedSize / 2), 4, true},
  };
  for (const Case& c : cases) {
    std::string bytes = built.bytes;
    if (c.width == 1) bytes[c.at] = static_cast<char>(bytes[c.at] ^ c.value);
    if (c.width == 4) zip_test::Put32(bytes, c.at, c.value);
    if (c.width == 4) {  // keep the local header agreeing with the central record
      const std::size_t field = c.at - built.central[c.index] - 16 + 14;
      zip_test::Put32(bytes, built.local[c.index] + field, c.value);
    }
    ArchivePtr archive = Open(bytes);
    ASSERT_TRUE(archive->GoToEntry(c.index)) << c.what;
    const Drained read = Drain(*archive);
    EXPECT_TRUE(read.failure != ZipFailure::None || read.close == ZipFailure::Crc) << c.what;
  }
}

TEST(ZipArchiveTest, ReadsEncryptedEntriesWithTheEmptyPasswordAndChecksTheCheckByte) {
  const std::string content = zip_test::Noise(40000);
  Entry deflated{"secret", content, 8};
  deflated.encrypted = true;
  Entry stored{"secret0", "plain text", 0};
  stored.encrypted = true;
  Entry described{"secret3", content, 8, 8};
  described.encrypted = true;
  const Archive built = Build({deflated, stored, described});
  ArchivePtr archive = Open(built.bytes);
  for (std::uint32_t index : {0u, 1u, 2u}) {
    ASSERT_TRUE(archive->GoToEntry(index));
    const Drained read = Drain(*archive, 1000);
    EXPECT_EQ(read.failure, ZipFailure::None) << index;
    EXPECT_EQ(read.close, ZipFailure::None) << index;
    EXPECT_EQ(read.data, index == 1 ? "plain text" : content) << index;
  }
  // A changed CRC-32 changes the expected check byte.
  std::string bytes = built.bytes;
  const auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])); };
  const std::size_t crcAt = built.central[1] + 16;
  const std::uint32_t crc = byte(crcAt) | byte(crcAt + 1) << 8 | byte(crcAt + 2) << 16 | byte(crcAt + 3) << 24;
  zip_test::Put32(bytes, crcAt, crc ^ 0x01000000u);
  zip_test::Put32(bytes, built.local[1] + 14, crc ^ 0x01000000u);
  archive = Open(bytes);
  ASSERT_TRUE(archive->GoToEntry(1));
  EXPECT_EQ(Drain(*archive).failure, ZipFailure::BadPassword);
}

TEST(ZipArchiveTest, ReadsAndCallsWithoutOpenDataFail) {
  ArchivePtr archive = Open(Build(ThreeEntries()).bytes);
  char buffer[16];
  EXPECT_EQ(archive->ReadEntryData(buffer, sizeof buffer).failure, ZipFailure::NoEntry);
  EXPECT_EQ(archive->CloseEntryData(), ZipFailure::NoEntry);
  ArchivePtr none = Open(Build({}).bytes);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->entryCount, 0);
  EXPECT_FALSE(none->GoToEntry(0));
  EXPECT_EQ(none->OpenEntryData(), ZipFailure::NoEntry);
}

TEST(ZipArchiveTest, AllocationFailuresAreReportedAndLeakNothing) {
  const Archive built = Build(ThreeEntries());
  int skip = 0;
  for (bool done = false; !done; ++skip) {
    zip_memory::FailAfter(skip);
    ZipFailure failure = ZipFailure::None;
    ZipArchive* archive = ZipArchive::OpenArchive(built.bytes.data(), static_cast<std::uint32_t>(built.bytes.size()), &failure);
    if (archive == nullptr) {
      EXPECT_EQ(failure, ZipFailure::NoMemory);
      continue;
    }
    archive->GoToEntry(1);
    const ZipFailure open = archive->OpenEntryData();
    char buffer[4096];
    ZipReadResult read;
    while (open == ZipFailure::None && read.failure == ZipFailure::None && !read.end) read = archive->ReadEntryData(buffer, sizeof buffer);
    done = open == ZipFailure::None && read.end;
    if (open != ZipFailure::None) {
      EXPECT_EQ(open, ZipFailure::NoMemory);
    } else if (!read.end) {
      EXPECT_EQ(read.failure, ZipFailure::Inflate);
    }
    ZipArchive::CloseArchive(archive);
    ASSERT_LT(skip, 20);
  }
  zip_memory::FailAfter(-1);
  EXPECT_GT(skip, 3);
}

}  // namespace
