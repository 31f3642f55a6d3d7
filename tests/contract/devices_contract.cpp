// Present device interfaces: the enumeration's end, the record sizes it checks, and the size
// protocol of the interface detail.
#include <cstring>
#include <string>
#include <vector>

#include "contract_machine.h"
#include "platform/devices.h"
#include "platform/types.h"

namespace contract {
namespace {

constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;
constexpr std::uint32_t kPresentInterfaces = platform::kDigcfPresent | platform::kDigcfDeviceInterface;
constexpr char kInstanceId[] = "USB\\VID_0416&PID_5011\\CONTRACT1";

bool SameGuid(const platform::Guid& a, const platform::Guid& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 && std::memcmp(a.data4, b.data4, 8) == 0;
}

// A record as the logic passes it: its size, and sentinels everywhere else.
platform::DeviceInterfaceRecord SentinelRecord(std::uint32_t cbSize = platform::kInterfaceRecordSize) {
  platform::DeviceInterfaceRecord record;
  record.cbSize = cbSize;
  record.interfaceClass = platform::Guid{kSentinel, 0x5A5A, 0x5A5A, {1, 2, 3, 4, 5, 6, 7, 8}};
  record.flags = kSentinel;
  record.reserved = kSentinel;
  return record;
}

void ExpectUntouched(const platform::DeviceInterfaceRecord& record) {
  EXPECT_EQ(record.interfaceClass.data1, kSentinel);
  EXPECT_EQ(record.flags, kSentinel);
  EXPECT_EQ(record.reserved, kSentinel);
}

// The set of present USB printer interfaces, destroyed with the object.
class InterfaceSet {
 public:
  explicit InterfaceSet(platform::IDeviceInterfaces& devices)
      : set(devices.GetClassDevices(platform::kUsbPrinterInterfaceClass, kPresentInterfaces)), devices_(devices) {}
  ~InterfaceSet() {
    if (set != platform::kInvalidDeviceInfoSet) devices_.DestroyDeviceInfoList(set);
  }

  const platform::DeviceInfoSetRef set;

 private:
  platform::IDeviceInterfaces& devices_;
};

TEST_P(DevicesContract, EnumInterfacePastTheLastGivesNoMoreItems) {
  InterfaceSet interfaces(*services().devices);
  ASSERT_NE(interfaces.set, platform::kInvalidDeviceInfoSet);
  platform::DeviceInterfaceRecord record = SentinelRecord();
  ArmLastError();
  EXPECT_FALSE(services().devices->EnumInterface(interfaces.set, platform::kUsbPrinterInterfaceClass, 0, &record));
  EXPECT_EQ(LastError(), platform::kErrorNoMoreItems);
  ExpectUntouched(record);
}

TEST_P(DevicesContract, EveryCallOnNoSetGivesInvalidHandle) {
  platform::IDeviceInterfaces& devices = *services().devices;
  platform::DeviceInterfaceRecord record = SentinelRecord();
  ArmLastError();
  EXPECT_FALSE(devices.EnumInterface(platform::kInvalidDeviceInfoSet, platform::kUsbPrinterInterfaceClass, 0, &record));
  EXPECT_EQ(LastError(), platform::kErrorInvalidHandle);
  ExpectUntouched(record);
  record.reserved = 1;
  std::uint32_t required = kSentinel;
  ArmLastError();
  EXPECT_FALSE(devices.QueryInterfaceDetailSize(platform::kInvalidDeviceInfoSet, record, &required));
  EXPECT_EQ(LastError(), platform::kErrorInvalidHandle);
  EXPECT_EQ(required, kSentinel);
  std::uint8_t detail[64] = {platform::kDetailFixedSize};
  ArmLastError();
  EXPECT_FALSE(devices.ReadInterfaceDetail(platform::kInvalidDeviceInfoSet, record, detail, sizeof detail, &required));
  EXPECT_EQ(LastError(), platform::kErrorInvalidHandle);
  EXPECT_EQ(required, kSentinel);
}

TEST_P(DevicesContract, EnumInterfaceWithAWrongRecordSizeGivesInvalidUserBuffer) {
  const std::string path = machine().AddUsbPrinterInterface(kInstanceId);
  ASSERT_FALSE(path.empty());
  InterfaceSet interfaces(*services().devices);
  ASSERT_NE(interfaces.set, platform::kInvalidDeviceInfoSet);
  platform::DeviceInterfaceRecord record = SentinelRecord(0);
  ArmLastError();
  EXPECT_FALSE(services().devices->EnumInterface(interfaces.set, platform::kUsbPrinterInterfaceClass, 0, &record));
  if (WineDiffers("SetupDiEnumDeviceInterfaces answers ERROR_INVALID_PARAMETER for a record of the wrong size")) {
    EXPECT_EQ(LastError(), platform::kErrorInvalidParameter);
  } else {
    EXPECT_EQ(LastError(), kErrorInvalidUserBuffer);
  }
  ExpectUntouched(record);
}

// The interface, the size query (which always fails, with the size), and the read.
TEST_P(DevicesContract, InterfaceDetailSizeProtocol) {
  const std::string path = machine().AddUsbPrinterInterface(kInstanceId);
  ASSERT_FALSE(path.empty());
  platform::IDeviceInterfaces& devices = *services().devices;
  InterfaceSet interfaces(devices);
  ASSERT_NE(interfaces.set, platform::kInvalidDeviceInfoSet);
  platform::DeviceInterfaceRecord record = SentinelRecord();
  ASSERT_TRUE(devices.EnumInterface(interfaces.set, platform::kUsbPrinterInterfaceClass, 0, &record));
  EXPECT_EQ(record.cbSize, platform::kInterfaceRecordSize);
  EXPECT_TRUE(SameGuid(record.interfaceClass, platform::kUsbPrinterInterfaceClass));
  EXPECT_EQ(record.flags, platform::kInterfaceActive);
  EXPECT_NE(record.reserved, kSentinel);

  const std::uint32_t needed = platform::kDetailPathOffset + static_cast<std::uint32_t>(path.size()) + 1;
  std::uint32_t required = kSentinel;
  ArmLastError();
  EXPECT_FALSE(devices.QueryInterfaceDetailSize(interfaces.set, record, &required));
  EXPECT_EQ(LastError(), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(required, needed);

  // The fixed part alone is too small for any path.
  std::vector<std::uint8_t> detail(needed + 8, static_cast<std::uint8_t>(kSentinelByte));
  detail[0] = platform::kDetailFixedSize;
  detail[1] = detail[2] = detail[3] = 0;
  required = kSentinel;
  ArmLastError();
  EXPECT_FALSE(devices.ReadInterfaceDetail(interfaces.set, record, detail.data(), platform::kDetailFixedSize, &required));
  EXPECT_EQ(LastError(), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(required, needed);

  detail.assign(needed + 8, static_cast<std::uint8_t>(kSentinelByte));
  detail[0] = platform::kDetailFixedSize;
  detail[1] = detail[2] = detail[3] = 0;
  required = kSentinel;
  EXPECT_TRUE(devices.ReadInterfaceDetail(interfaces.set, record, detail.data(), needed, &required));
  EXPECT_EQ(required, needed);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(detail.data() + platform::kDetailPathOffset)), path);
  EXPECT_EQ(detail[needed], static_cast<std::uint8_t>(kSentinelByte));

  platform::DeviceInterfaceRecord next = SentinelRecord();
  ArmLastError();
  EXPECT_FALSE(devices.EnumInterface(interfaces.set, platform::kUsbPrinterInterfaceClass, 1, &next));
  EXPECT_EQ(LastError(), platform::kErrorNoMoreItems);
}

TEST_P(DevicesContract, ReadInterfaceDetailWithAWrongRecordSizeGivesInvalidUserBuffer) {
  const std::string path = machine().AddUsbPrinterInterface(kInstanceId);
  ASSERT_FALSE(path.empty());
  platform::IDeviceInterfaces& devices = *services().devices;
  InterfaceSet interfaces(devices);
  platform::DeviceInterfaceRecord record = SentinelRecord();
  ASSERT_TRUE(devices.EnumInterface(interfaces.set, platform::kUsbPrinterInterfaceClass, 0, &record));
  std::vector<std::uint8_t> detail(512, 0);
  std::uint32_t required = kSentinel;
  ArmLastError();
  EXPECT_FALSE(devices.ReadInterfaceDetail(interfaces.set, record, detail.data(), 512, &required));
  EXPECT_EQ(LastError(), kErrorInvalidUserBuffer);
  EXPECT_EQ(required, kSentinel);
}

}  // namespace
}  // namespace contract
