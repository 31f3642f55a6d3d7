// ZIP archives built byte by byte for the reader's tests, with the positions of their records
// so that a test can damage exactly the field it is about.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zip_test {

struct Entry {
  Entry(std::string entryName, std::string entryData, std::uint16_t entryMethod = 8, std::uint16_t entryFlags = 0)
      : name(std::move(entryName)), data(std::move(entryData)), method(entryMethod), flags(entryFlags) {}

  std::string name;
  std::string data;
  std::uint16_t method = 8;                 // 0 stored, 8 deflated (anything else is stored as is)
  std::uint16_t flags = 0;                  // bit 3: zero CRC and sizes in the local header
  std::uint16_t versionMadeBy = 0x0014;     // host 0 (DOS)
  std::uint32_t externalAttributes = 0x20;  // archive
  std::uint32_t dosDateTime = 0x52FC5AD8;   // 2021-07-28 11:22:48
  std::string localExtra;
  bool encrypted = false;                   // traditional encryption with the empty password
};

struct Archive {
  std::string bytes;
  std::vector<std::size_t> local;    // block offsets of the local headers
  std::vector<std::size_t> central;  // block offsets of the central records
  std::vector<std::size_t> data;     // block offsets of the entry data
  std::size_t end = 0;               // block offset of the end record
};

// An archive of the entries, behind `prefix`, with the archive comment `comment`.
Archive Build(const std::vector<Entry>& entries, const std::string& prefix = "", const std::string& comment = "");
// Raw deflate of the data.
std::string Deflate(const std::string& data);
// An extended timestamp block ("UT") with the flags and the times given.
std::string Timestamp(std::uint8_t flags, const std::vector<std::int32_t>& times);
// An extra block with any id and data.
std::string ExtraBlock(std::uint16_t id, const std::string& data);
// Little-endian field writes into a built archive.
void Put16(std::string& bytes, std::size_t at, std::uint16_t value);
void Put32(std::string& bytes, std::size_t at, std::uint32_t value);
// Deterministic, partly compressible bytes.
std::string Noise(std::size_t size, std::uint32_t seed = 1);

}  // namespace zip_test
