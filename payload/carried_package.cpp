#include "payload/carried_package.h"

#include "payload/driver_payload.h"
#include "payload/zip_reader.h"
#include "platform/resources.h"

void CarriedDriverPackage::SetUnpacked(const char* directory, std::uint16_t resource) {
  directory_ = directory;
  resource_ = resource;
}

bool CarriedDriverPackage::CarriedBytes(const char* name, std::string* bytes) {
  if (directory_.empty()) return false;
  platform::ResourceBlock block;
  if (!machine_.resources->LoadBlock(resource_, kDriverPayloadType, &block)) return false;
  ZipHandle archive = ZipOpenMemory(machine_, block.data, block.size);
  if (archive == nullptr) return false;
  const ZipStatus status = ZipReadEntryToMemory(archive, name, bytes);
  ZipClose(archive);
  return status == ZipOk;
}
