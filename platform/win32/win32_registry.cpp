#include <windows.h>

#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

// The predefined roots are sign-extended handles on 64-bit Windows.
HKEY Key(platform::KeyRef key) {
  if (key == platform::kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
  if (key == platform::kHkeyCurrentUser) return HKEY_CURRENT_USER;
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Registry::OpenKey(platform::KeyRef root, const char* path, std::uint32_t access, platform::KeyRef* key) {
  HKEY opened = nullptr;
  const LONG result = ::RegOpenKeyExA(Key(root), path, 0, access, &opened);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<platform::KeyRef>(opened);
  return result;
}

long Registry::CreateKey(platform::KeyRef parent, const char* name, std::uint32_t access, platform::KeyRef* key) {
  HKEY created = nullptr;
  const LONG result = ::RegCreateKeyExA(Key(parent), name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                        &created, nullptr);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<platform::KeyRef>(created);
  return result;
}

long Registry::QueryValue(platform::KeyRef key, const char* name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD valueSize = *size;
  const LONG result = ::RegQueryValueExA(Key(key), name, nullptr, &valueType, data, &valueSize);
  *size = valueSize;
  if (type != nullptr) *type = valueType;
  return result;
}

long Registry::EnumValue(platform::KeyRef key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                         std::uint8_t* data, std::uint32_t* dataSize) {
  DWORD nameLength = *nameSize;
  DWORD dataLength = *dataSize;
  const LONG result = ::RegEnumValueA(Key(key), index, name, &nameLength, nullptr, nullptr, data, &dataLength);
  *nameSize = nameLength;
  *dataSize = dataLength;
  return result;
}

long Registry::SetValue(platform::KeyRef key, const char* name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) {
  return ::RegSetValueExA(Key(key), name, 0, type, data, size);
}

long Registry::CloseKey(platform::KeyRef key) { return ::RegCloseKey(Key(key)); }

}  // namespace win32
