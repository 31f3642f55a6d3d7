#include "platform/sim/sim_resources.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

constexpr std::uint32_t kErrorResourceTypeNotFound = 1813;
constexpr std::uint32_t kErrorResourceNameNotFound = 1814;

}  // namespace

SimResources::SimResources(SimSystem& system, Faults& faults, Trace& trace)
    : system_(system), faults_(faults), trace_(trace) {}

std::string SimResources::Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool SimResources::LoadBlock(std::uint16_t id, const char* type, platform::ResourceBlock* block) {
  *block = platform::ResourceBlock{};
  trace_.push_back("FindResourceA " + std::to_string(id) + " " + type);
  std::uint32_t error = 0;
  if (faults_.ShouldFail("FindResourceA", &error)) {
    system_.SetLastError(error);
    return false;
  }
  auto found = blocks_.find({id, Upper(type)});
  if (found == blocks_.end()) {
    bool typeKnown = false;
    for (const auto& entry : blocks_) typeKnown = typeKnown || entry.first.second == Upper(type);
    system_.SetLastError(typeKnown ? kErrorResourceNameNotFound : kErrorResourceTypeNotFound);
    return false;
  }
  if (faults_.ShouldFail("LoadResource", &error)) {
    system_.SetLastError(error);
    return false;
  }
  block->data = found->second.data();
  block->size = static_cast<std::uint32_t>(found->second.size());
  return true;
}

void SimResources::Put(std::uint16_t id, const std::string& type, std::string bytes) {
  blocks_[{id, Upper(type)}] = std::move(bytes);
}

bool SimResources::PutFile(std::uint16_t id, const std::string& type, const std::string& hostPath) {
  std::ifstream stream(hostPath, std::ios::binary);
  if (!stream) return false;
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  Put(id, type, bytes.str());
  return true;
}

std::uintptr_t SimResources::LoadIconResource(std::uint16_t id) {
  trace_.push_back("LoadIconW " + std::to_string(id));
  auto found = icons.find(id);
  return found == icons.end() ? 0 : found->second;
}

platform::BitmapRef SimResources::LoadBitmapResource(std::uint16_t id) {
  trace_.push_back("LoadBitmapW " + std::to_string(id));
  auto found = bitmaps.find(id);
  if (found == bitmaps.end()) return 0;
  ++loadedBitmaps[found->second];
  return found->second;
}

void SimResources::DeleteBitmap(platform::BitmapRef bitmap) {
  trace_.push_back("DeleteObject bitmap");
  if (bitmap != 0) --loadedBitmaps[bitmap];
}

}  // namespace sim
