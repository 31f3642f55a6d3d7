// The program's own resources, and the graphics calls the test page makes with its bitmap.
#include <cstring>
#include <string>

#include "contract_machine.h"
#include "platform/printing.h"
#include "platform/resources.h"

namespace contract {
namespace {

constexpr std::uint32_t kErrorResourceTypeNotFound = 1813;
constexpr std::uint32_t kErrorResourceNameNotFound = 1814;
constexpr char kResourceBytes[] = "contract resource\n";  // tests/contract/contract_resource.bin

TEST_P(ResourcesContract, LoadBlockFindsTheTypeWithoutRegardToCase) {
  for (const char* type : {kResourceType, "contractdata"}) {
    platform::ResourceBlock block{&kSentinel, kSentinel};
    ASSERT_TRUE(services().resources->LoadBlock(kResourceId, type, &block)) << type;
    ASSERT_EQ(block.size, sizeof kResourceBytes - 1) << type;
    EXPECT_EQ(std::memcmp(block.data, kResourceBytes, block.size), 0) << type;
  }
}

TEST_P(ResourcesContract, LoadBlockOfAMissingNameOrType) {
  struct Case {
    std::uint16_t id;
    const char* type;
    std::uint32_t error;
  };
  const Case cases[] = {{kResourceId + 1, kResourceType, kErrorResourceNameNotFound},
                        {kResourceId, "CONTRACTMISSING", kErrorResourceTypeNotFound}};
  for (const Case& item : cases) {
    platform::ResourceBlock block{&kSentinel, kSentinel};
    ArmLastError();
    EXPECT_FALSE(services().resources->LoadBlock(item.id, item.type, &block)) << item.type;
    EXPECT_EQ(LastError(), item.error) << item.type;
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.size, 0u);
  }
}

TEST_P(ResourcesContract, LoadIconAndBitmapOfAMissingIdGiveNone) {
  EXPECT_EQ(services().resources->LoadBitmapResource(kBannerBitmapId + 1000), 0u);
  EXPECT_EQ(services().resources->LoadIconResource(kBannerBitmapId + 1000), 0u);
}

// GetObjectA stores the whole BITMAP record: 24 bytes in the 32-bit program, 32 in a 64-bit one.
TEST_P(PrintingContract, GetBitmapObjectOfTheBanner) {
  const platform::BitmapRef bitmap = services().resources->LoadBitmapResource(kBannerBitmapId);
  ASSERT_NE(bitmap, 0u);
  platform::BitmapRecord record{static_cast<std::int32_t>(kSentinel), -1, -1, -1, 0x5A5A, 0x5A5A};
  EXPECT_EQ(services().printing->GetBitmapObject(bitmap, &record), machine().PointerSize() == 8 ? 32 : 24);
  int width = 0;
  int height = 0;
  machine().BannerSize(&width, &height);
  EXPECT_EQ(record.type, 0);
  EXPECT_EQ(record.width, width);
  EXPECT_EQ(record.height, height);
  EXPECT_EQ(record.planes, 1);
  EXPECT_GE(record.widthBytes, width * record.bitsPerPixel / 8);
  EXPECT_EQ(record.widthBytes % 2, 0);  // scan lines of a device-dependent bitmap are word-aligned
  services().resources->DeleteBitmap(bitmap);
}

TEST_P(PrintingContract, GetBitmapObjectOfNoBitmapLeavesTheRecord) {
  platform::BitmapRecord record{7, 7, 7, 7, 7, 7};
  EXPECT_EQ(services().printing->GetBitmapObject(0, &record), 0);
  EXPECT_EQ(record.type, 7);
  EXPECT_EQ(record.width, 7);
  EXPECT_EQ(record.bitsPerPixel, 7);
}

// The test page's banner: a memory context with the bitmap selected into it, and back.
TEST_P(PrintingContract, SelectBitmapIntoAMemoryContext) {
  const platform::BitmapRef bitmap = services().resources->LoadBitmapResource(kBannerBitmapId);
  ASSERT_NE(bitmap, 0u);
  const platform::DeviceContextRef memory = services().printing->CreateCompatibleDc(0);
  ASSERT_NE(memory, 0u);
  const platform::BitmapRef previous = services().printing->SelectBitmap(memory, bitmap);
  EXPECT_NE(previous, 0u);
  EXPECT_NE(previous, bitmap);
  EXPECT_EQ(services().printing->SelectBitmap(memory, previous), bitmap);
  EXPECT_TRUE(services().printing->DeleteDc(memory));
  services().resources->DeleteBitmap(bitmap);
}

TEST_P(PrintingContract, CreateDcOfAMissingPrinterGivesNone) {
  EXPECT_EQ(services().printing->CreateDc(nullptr, "contract no printer", nullptr, nullptr), 0u);
}

}  // namespace
}  // namespace contract
