// The simulated program's resources: blocks that tests put in by id and type name (the type
// compared without regard to case, as Windows does), with failures of the lookup injectable.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/resources.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_system.h"

namespace sim {

class SimResources : public platform::IResources {
 public:
  SimResources(SimSystem& system, Faults& faults, Trace& trace);

  // Faults "FindResourceA" and "LoadResource" make the lookup fail at that step.
  bool LoadBlock(std::uint16_t id, const char* type, platform::ResourceBlock* block) override;
  std::uintptr_t LoadIconResource(std::uint16_t id) override;
  platform::BitmapRef LoadBitmapResource(std::uint16_t id) override;
  void DeleteBitmap(platform::BitmapRef bitmap) override;

  // Puts a resource into the program; its bytes stay at one address until it is replaced.
  void Put(std::uint16_t id, const std::string& type, std::string bytes);
  // The program's icons and bitmaps by id (a bitmap is one the test made, such as with
  // SimPrinting::AddBitmap); bitmaps loaded and deleted are counted.
  std::map<std::uint16_t, std::uintptr_t> icons;
  std::map<std::uint16_t, platform::BitmapRef> bitmaps;
  std::map<platform::BitmapRef, int> loadedBitmaps;  // loads minus deletions, per bitmap

  // Puts a resource whose bytes are a host file's; false when the file cannot be read.
  bool PutFile(std::uint16_t id, const std::string& type, const std::string& hostPath);

 private:
  static std::string Upper(std::string text);

  SimSystem& system_;
  Faults& faults_;
  Trace& trace_;
  std::map<std::pair<std::uint16_t, std::string>, std::string> blocks_;
};

}  // namespace sim
