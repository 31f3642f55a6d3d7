#include "platform/sim/sim_registry.h"

#include <cstring>
#include <strings.h>

#include "platform/types.h"

namespace sim {

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

}  // namespace

std::string RegistryValue::Text() const {
  std::string text(data.begin(), data.end());
  const std::size_t end = text.find('\0');
  return end == std::string::npos ? text : text.substr(0, end);
}

std::uint32_t RegistryValue::Dword() const {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  return value;
}

SimRegistry::SimRegistry(Faults& faults, Trace& trace)
    : faults_(faults), trace_(trace), localMachine_(new Key{"HKEY_LOCAL_MACHINE", {}, {}}),
      currentUser_(new Key{"HKEY_CURRENT_USER", {}, {}}) {}

SimRegistry::~SimRegistry() = default;

SimRegistry::Key* SimRegistry::Root(platform::KeyRef root) const {
  if (root == platform::kHkeyLocalMachine) return localMachine_.get();
  if (root == platform::kHkeyCurrentUser) return currentUser_.get();
  return nullptr;
}

SimRegistry::Key* SimRegistry::Resolve(platform::KeyRef key) const {
  if (Key* root = Root(key)) return root;
  auto found = open_.find(key);
  return found == open_.end() ? nullptr : found->second;
}

SimRegistry::Key* SimRegistry::Find(Key* from, const std::string& path) {
  Key* key = from;
  for (const std::string& part : SplitPath(path)) {
    Key* next = nullptr;
    for (auto& child : key->children) {
      if (SameName(child->name, part)) next = child.get();
    }
    if (next == nullptr) return nullptr;
    key = next;
  }
  return key;
}

SimRegistry::Key* SimRegistry::FindOrCreate(Key* from, const std::string& path) {
  Key* key = from;
  for (const std::string& part : SplitPath(path)) {
    Key* next = Find(key, part);
    if (next == nullptr) {
      key->children.emplace_back(new Key{part, {}, {}});
      next = key->children.back().get();
    }
    key = next;
  }
  return key;
}

platform::KeyRef SimRegistry::Open(Key* key) {
  const platform::KeyRef handle = nextHandle_++;
  open_[handle] = key;
  return handle;
}

long SimRegistry::OpenKey(platform::KeyRef root, const char* path, std::uint32_t access, platform::KeyRef* key) {
  trace_.push_back("RegOpenKeyExA " + std::string(path) + " " + std::to_string(access));
  std::uint32_t error = 0;
  if (faults_.ShouldFail("RegOpenKeyExA", &error)) return static_cast<long>(error);
  Key* from = Resolve(root);
  if (from == nullptr) return static_cast<long>(platform::kErrorInvalidHandle);
  Key* found = Find(from, path);
  if (found == nullptr) return static_cast<long>(platform::kErrorFileNotFound);
  *key = Open(found);
  return 0;
}

long SimRegistry::CreateKey(platform::KeyRef parent, const char* name, std::uint32_t access, platform::KeyRef* key) {
  trace_.push_back("RegCreateKeyExA " + std::string(name) + " " + std::to_string(access));
  std::uint32_t error = 0;
  if (faults_.ShouldFail("RegCreateKeyExA", &error)) return static_cast<long>(error);
  Key* from = Resolve(parent);
  if (from == nullptr) return static_cast<long>(platform::kErrorInvalidHandle);
  *key = Open(FindOrCreate(from, name));
  return 0;
}

long SimRegistry::QueryValue(platform::KeyRef key, const char* name, std::uint32_t* type, std::uint8_t* data,
                             std::uint32_t* size) {
  std::uint32_t error = 0;
  if (faults_.ShouldFail("RegQueryValueExA", &error)) return static_cast<long>(error);
  Key* found = Resolve(key);
  if (found == nullptr) return static_cast<long>(platform::kErrorInvalidHandle);
  for (const RegistryValue& value : found->values) {
    if (!SameName(value.name, name)) continue;
    if (type != nullptr) *type = value.type;
    const std::uint32_t needed = static_cast<std::uint32_t>(value.data.size());
    if (data != nullptr && needed > *size) {
      *size = needed;
      return static_cast<long>(platform::kErrorMoreData);
    }
    if (data != nullptr && needed > 0) std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return 0;
  }
  return static_cast<long>(platform::kErrorFileNotFound);
}

long SimRegistry::EnumValue(platform::KeyRef key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                            std::uint8_t* data, std::uint32_t* dataSize) {
  std::uint32_t error = 0;
  if (faults_.ShouldFail("RegEnumValueA", &error)) return static_cast<long>(error);
  Key* found = Resolve(key);
  if (found == nullptr) return static_cast<long>(platform::kErrorInvalidHandle);
  if (index >= found->values.size()) return static_cast<long>(platform::kErrorNoMoreItems);
  const RegistryValue& value = found->values[index];
  const std::uint32_t nameLength = static_cast<std::uint32_t>(value.name.size());
  const std::uint32_t dataLength = static_cast<std::uint32_t>(value.data.size());
  // Like the system, a value that does not fit leaves the buffers in an unspecified state:
  // here, partly written and unterminated.
  if (nameLength + 1 > *nameSize || dataLength > *dataSize) {
    if (*nameSize > 0) std::memcpy(name, value.name.data(), std::min(*nameSize, nameLength));
    if (data != nullptr && *dataSize > 0) std::memcpy(data, value.data.data(), std::min(*dataSize, dataLength));
    *dataSize = dataLength;
    return static_cast<long>(platform::kErrorMoreData);
  }
  std::memcpy(name, value.name.c_str(), nameLength + 1);
  *nameSize = nameLength;
  if (data != nullptr && dataLength > 0) std::memcpy(data, value.data.data(), dataLength);
  *dataSize = dataLength;
  return 0;
}

long SimRegistry::SetValue(platform::KeyRef key, const char* name, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t size) {
  trace_.push_back("RegSetValueExA " + std::string(name));
  std::uint32_t error = 0;
  if (faults_.ShouldFail("RegSetValueExA", &error)) return static_cast<long>(error);
  Key* found = Resolve(key);
  if (found == nullptr) return static_cast<long>(platform::kErrorInvalidHandle);
  std::vector<std::uint8_t> bytes(data, data + size);
  for (RegistryValue& value : found->values) {
    if (SameName(value.name, name)) {
      value.type = type;
      value.data = bytes;
      return 0;
    }
  }
  found->values.push_back(RegistryValue{name, type, bytes});
  return 0;
}

long SimRegistry::CloseKey(platform::KeyRef key) {
  trace_.push_back("RegCloseKey");
  if (Root(key) != nullptr) return 0;
  return open_.erase(key) == 1 ? 0 : static_cast<long>(platform::kErrorInvalidHandle);
}

void SimRegistry::CreatePath(platform::KeyRef root, const std::string& path) { FindOrCreate(Root(root), path); }

void SimRegistry::SetRaw(platform::KeyRef root, const std::string& path, const std::string& name,
                         std::uint32_t type, const std::vector<std::uint8_t>& data) {
  Key* key = FindOrCreate(Root(root), path);
  for (RegistryValue& value : key->values) {
    if (SameName(value.name, name)) {
      value.type = type;
      value.data = data;
      return;
    }
  }
  key->values.push_back(RegistryValue{name, type, data});
}

void SimRegistry::SetString(platform::KeyRef root, const std::string& path, const std::string& name,
                            const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  SetRaw(root, path, name, platform::kRegSz, data);
}

void SimRegistry::SetDword(platform::KeyRef root, const std::string& path, const std::string& name,
                           std::uint32_t value) {
  SetRaw(root, path, name, platform::kRegDword,
         {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

bool SimRegistry::KeyExists(platform::KeyRef root, const std::string& path) const {
  return Find(Root(root), path) != nullptr;
}

std::optional<RegistryValue> SimRegistry::Value(platform::KeyRef root, const std::string& path,
                                                const std::string& name) const {
  for (const RegistryValue& value : Values(root, path)) {
    if (SameName(value.name, name)) return value;
  }
  return std::nullopt;
}

std::vector<RegistryValue> SimRegistry::Values(platform::KeyRef root, const std::string& path) const {
  Key* key = Find(Root(root), path);
  return key == nullptr ? std::vector<RegistryValue>{} : key->values;
}

std::vector<std::string> SimRegistry::Subkeys(platform::KeyRef root, const std::string& path) const {
  std::vector<std::string> names;
  Key* key = Find(Root(root), path);
  if (key == nullptr) return names;
  for (const auto& child : key->children) names.push_back(child->name);
  return names;
}

}  // namespace sim
