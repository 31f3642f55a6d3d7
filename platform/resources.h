// The program's own resources: a block of the loaded image, found by numeric id and type name.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// A resource's bytes as the loaded image holds them: read only, never freed.
struct ResourceBlock {
  const void* data = nullptr;
  std::uint32_t size = 0;
};

class IResources {
 public:
  virtual ~IResources() = default;
  // FindResourceA(own module, MAKEINTRESOURCE(id), type), LoadResource, LockResource and
  // SizeofResource: the block, or false (and *block empty) when any step fails.
  virtual bool LoadBlock(std::uint16_t id, const char* type, ResourceBlock* block) = 0;
  // LoadIconW(own module, MAKEINTRESOURCEW(id)): the icon, or 0.
  virtual std::uintptr_t LoadIconResource(std::uint16_t id) = 0;
  // LoadBitmapW(own module, MAKEINTRESOURCEW(id)): the bitmap, or 0.
  virtual BitmapRef LoadBitmapResource(std::uint16_t id) = 0;
  // DeleteObject on a bitmap that LoadBitmapResource gave.
  virtual void DeleteBitmap(BitmapRef bitmap) = 0;
};

}  // namespace platform
