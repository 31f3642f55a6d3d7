// The registry: keys holding named, typed values. Results are system error codes (0 success).
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

constexpr KeyRef kHkeyCurrentUser = 0x80000001u;
constexpr KeyRef kHkeyLocalMachine = 0x80000002u;

constexpr std::uint32_t kKeyRead = 0x20019;       // KEY_READ
constexpr std::uint32_t kKeyReadWrite = 0x2001f;  // KEY_READ | KEY_WRITE

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // RegOpenKeyExA(root, path, 0, access): opens an existing key.
  virtual long OpenKey(KeyRef root, const char* path, std::uint32_t access, KeyRef* key) = 0;
  // RegCreateKeyExA(parent, name, 0, NULL, 0, access, NULL): creates or opens a subkey.
  virtual long CreateKey(KeyRef parent, const char* name, std::uint32_t access, KeyRef* key) = 0;
  // RegQueryValueExA(key, name, NULL, type, data, size): size is in/out; type may be null.
  virtual long QueryValue(KeyRef key, const char* name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) = 0;
  // RegEnumValueA(key, index, name, nameSize, NULL, NULL, data, dataSize); sizes are in/out.
  virtual long EnumValue(KeyRef key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                         std::uint8_t* data, std::uint32_t* dataSize) = 0;
  // RegSetValueExA(key, name, 0, type, data, size).
  virtual long SetValue(KeyRef key, const char* name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) = 0;
  // RegCloseKey.
  virtual long CloseKey(KeyRef key) = 0;
};

// Owns one open key and closes it through the registry when it goes out of scope.
class RegistryKey {
 public:
  explicit RegistryKey(IRegistry& registry) : registry_(registry) {}
  ~RegistryKey() { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Where an open call stores the key.
  KeyRef* Receive() { return &key_; }
  KeyRef Get() const { return key_; }
  bool IsOpen() const { return key_ != 0; }
  // Closes the key now, once.
  void Close() {
    if (key_ != 0) registry_.CloseKey(key_);
    key_ = 0;
  }

 private:
  IRegistry& registry_;
  KeyRef key_ = 0;
};

}  // namespace platform
