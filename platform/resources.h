// The program's own resources: a block of the loaded image, found by numeric id and type name.
#pragma once

#include <cstdint>

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
};

}  // namespace platform
