#include "payload/driver_payload.h"

#include "payload/zip_reader.h"
#include "platform/resources.h"

std::uint16_t DriverPayloadResource(std::int32_t uiLanguage) {
  return uiLanguage == 2052 ? kDriverPayloadChinese : kDriverPayloadEnglish;
}

bool ExtractDriverPayload(platform::Platform& machine, const char* directory, std::int32_t uiLanguage) {
  platform::ResourceBlock block;
  if (!machine.resources->LoadBlock(DriverPayloadResource(uiLanguage), kDriverPayloadType, &block)) return false;
  ZipHandle archive = ZipOpenMemory(machine, block.data, block.size);
  if (archive == nullptr) return false;
  ZipEntryInfo entry;
  ZipGetEntry(archive, -1, &entry);
  const std::int32_t count = entry.index;
  bool whole = ZipSetBaseDirectory(archive, directory) == ZipOk;
  for (std::int32_t index = 0; index < count; ++index) {
    // An entry whose information cannot be read is skipped: its name would be the previous one's.
    if (ZipGetEntry(archive, index, &entry) != ZipOk) {
      whole = false;
      continue;
    }
    if (ZipExtractEntry(archive, index, entry.name) != ZipOk) whole = false;
  }
  ZipClose(archive);
  return whole;
}
