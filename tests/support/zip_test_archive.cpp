#include "zip_test_archive.h"

#include <zlib.h>

namespace zip_test {

namespace {

void Add16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Add32(std::string& out, std::uint32_t value) {
  Add16(out, static_cast<std::uint16_t>(value));
  Add16(out, static_cast<std::uint16_t>(value >> 16));
}

// The traditional encryption with the empty password, written from the archive format's
// description independently of the reader.
class Cipher {
 public:
  std::string Encrypt(const std::string& plain) {
    std::string out;
    for (char c : plain) {
      const std::uint32_t t = (k2_ | 2) & 0xFFFF;
      out += static_cast<char>(static_cast<std::uint8_t>(c) ^ static_cast<std::uint8_t>((t * (t ^ 1)) >> 8));
      Update(static_cast<std::uint8_t>(c));
    }
    return out;
  }

 private:
  static std::uint32_t Crc(std::uint32_t crc, std::uint8_t byte) {
    crc ^= byte;
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    return crc;
  }
  void Update(std::uint8_t c) {
    k0_ = Crc(k0_, c);
    k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
    k2_ = Crc(k2_, static_cast<std::uint8_t>(k1_ >> 24));
  }
  std::uint32_t k0_ = 0x12345678, k1_ = 0x23456789, k2_ = 0x34567890;
};

}  // namespace

std::string Deflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, data.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

Archive Build(const std::vector<Entry>& entries, const std::string& prefix, const std::string& comment) {
  Archive archive;
  std::string& out = archive.bytes;
  out = prefix;
  std::string central;
  for (const Entry& entry : entries) {
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
    std::string payload = entry.method == 8 ? Deflate(entry.data) : entry.data;
    std::uint16_t flags = entry.flags;
    if (entry.encrypted) {
      flags |= 1;
      const std::uint8_t check = (flags & 8) ? static_cast<std::uint8_t>(entry.dosDateTime >> 8)
                                             : static_cast<std::uint8_t>(crc >> 24);
      std::string header = "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB";
      header += static_cast<char>(check);
      payload = Cipher().Encrypt(header + payload);
    }
    const bool descriptor = (flags & 8) != 0;
    const std::size_t localOffset = out.size() - prefix.size();
    archive.local.push_back(out.size());
    Add32(out, 0x04034b50);
    Add16(out, 20);
    Add16(out, flags);
    Add16(out, entry.method);
    Add32(out, entry.dosDateTime);
    Add32(out, descriptor ? 0 : crc);
    Add32(out, descriptor ? 0 : static_cast<std::uint32_t>(payload.size()));
    Add32(out, descriptor ? 0 : static_cast<std::uint32_t>(entry.data.size()));
    Add16(out, static_cast<std::uint16_t>(entry.name.size()));
    Add16(out, static_cast<std::uint16_t>(entry.localExtra.size()));
    out += entry.name + entry.localExtra;
    archive.data.push_back(out.size());
    out += payload;
    if (descriptor) {
      Add32(out, 0x08074b50);
      Add32(out, crc);
      Add32(out, static_cast<std::uint32_t>(payload.size()));
      Add32(out, static_cast<std::uint32_t>(entry.data.size()));
    }
    archive.central.push_back(central.size());
    Add32(central, 0x02014b50);
    Add16(central, entry.versionMadeBy);
    Add16(central, 20);
    Add16(central, flags);
    Add16(central, entry.method);
    Add32(central, entry.dosDateTime);
    Add32(central, crc);
    Add32(central, static_cast<std::uint32_t>(payload.size()));
    Add32(central, static_cast<std::uint32_t>(entry.data.size()));
    Add16(central, static_cast<std::uint16_t>(entry.name.size()));
    Add16(central, 0);
    Add16(central, 0);
    Add16(central, 0);
    Add16(central, 0);
    Add32(central, entry.externalAttributes);
    Add32(central, static_cast<std::uint32_t>(localOffset));
    central += entry.name;
  }
  const std::size_t centralOffset = out.size() - prefix.size();
  for (std::size_t& at : archive.central) at += out.size();
  out += central;
  archive.end = out.size();
  Add32(out, 0x06054b50);
  Add16(out, 0);
  Add16(out, 0);
  Add16(out, static_cast<std::uint16_t>(entries.size()));
  Add16(out, static_cast<std::uint16_t>(entries.size()));
  Add32(out, static_cast<std::uint32_t>(central.size()));
  Add32(out, static_cast<std::uint32_t>(centralOffset));
  Add16(out, static_cast<std::uint16_t>(comment.size()));
  out += comment;
  return archive;
}

std::string ExtraBlock(std::uint16_t id, const std::string& data) {
  std::string out;
  Add16(out, id);
  Add16(out, static_cast<std::uint16_t>(data.size()));
  return out + data;
}

std::string Timestamp(std::uint8_t flags, const std::vector<std::int32_t>& times) {
  std::string data(1, static_cast<char>(flags));
  for (std::int32_t time : times) Add32(data, static_cast<std::uint32_t>(time));
  return ExtraBlock(0x5455, data);
}

void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
  Put16(bytes, at, static_cast<std::uint16_t>(value));
  Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  std::uint32_t state = seed;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    out[i] = static_cast<char>((state >> 16) % 7 == 0 ? (state >> 8) & 0xFF : 'a' + (state >> 20) % 4);
  }
  return out;
}

}  // namespace zip_test
