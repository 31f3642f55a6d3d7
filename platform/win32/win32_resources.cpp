#include <windows.h>

#include "platform/win32/win32_services.h"

namespace win32 {

bool Resources::LoadBlock(std::uint16_t id, const char* type, platform::ResourceBlock* block) {
  *block = platform::ResourceBlock{};
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (resource == nullptr) return false;
  HGLOBAL loaded = ::LoadResource(module, resource);
  if (loaded == nullptr) return false;
  const void* data = ::LockResource(loaded);
  if (data == nullptr) return false;
  block->data = data;
  block->size = ::SizeofResource(module, resource);
  return true;
}

std::uintptr_t Resources::LoadIconResource(std::uint16_t id) {
  return reinterpret_cast<std::uintptr_t>(::LoadIconW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(id)));
}

platform::BitmapRef Resources::LoadBitmapResource(std::uint16_t id) {
  return reinterpret_cast<platform::BitmapRef>(::LoadBitmapW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(id)));
}

void Resources::DeleteBitmap(platform::BitmapRef bitmap) {
  if (bitmap != 0) ::DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
}

}  // namespace win32
