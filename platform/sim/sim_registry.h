// The simulated registry: a tree of keys with case-insensitive names and values kept in the
// order they were first written (the order RegEnumValueA gives them).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_faults.h"

namespace sim {

struct RegistryValue {
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;

  // The data as a text, without its terminating NUL.
  std::string Text() const;
  std::uint32_t Dword() const;
};

class SimRegistry : public platform::IRegistry {
 public:
  SimRegistry(Faults& faults, Trace& trace);
  ~SimRegistry() override;

  long OpenKey(platform::KeyRef root, const char* path, std::uint32_t access, platform::KeyRef* key) override;
  long CreateKey(platform::KeyRef parent, const char* name, std::uint32_t access, platform::KeyRef* key) override;
  long QueryValue(platform::KeyRef key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long EnumValue(platform::KeyRef key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                 std::uint8_t* data, std::uint32_t* dataSize) override;
  long SetValue(platform::KeyRef key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long CloseKey(platform::KeyRef key) override;

  // Test set-up and inspection, by root and backslash-separated path.
  void CreatePath(platform::KeyRef root, const std::string& path);
  void SetString(platform::KeyRef root, const std::string& path, const std::string& name, const std::string& text);
  void SetDword(platform::KeyRef root, const std::string& path, const std::string& name, std::uint32_t value);
  void SetRaw(platform::KeyRef root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data);
  bool KeyExists(platform::KeyRef root, const std::string& path) const;
  std::optional<RegistryValue> Value(platform::KeyRef root, const std::string& path, const std::string& name) const;
  // The values of a key in enumeration order (empty when the key is missing).
  std::vector<RegistryValue> Values(platform::KeyRef root, const std::string& path) const;
  // The names of a key's subkeys.
  std::vector<std::string> Subkeys(platform::KeyRef root, const std::string& path) const;
  // Keys opened and not yet closed.
  std::size_t OpenKeyCount() const { return open_.size(); }

 private:
  struct Key {
    std::string name;
    std::vector<std::unique_ptr<Key>> children;
    std::vector<RegistryValue> values;
  };

  Key* Root(platform::KeyRef root) const;
  Key* Resolve(platform::KeyRef key) const;
  static Key* Find(Key* from, const std::string& path);
  static Key* FindOrCreate(Key* from, const std::string& path);
  platform::KeyRef Open(Key* key);

  Faults& faults_;
  Trace& trace_;
  std::unique_ptr<Key> localMachine_;
  std::unique_ptr<Key> currentUser_;
  std::map<platform::KeyRef, Key*> open_;
  platform::KeyRef nextHandle_ = 0x1000;
};

}  // namespace sim
