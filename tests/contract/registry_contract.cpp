// The registry: opening and creating keys, the size protocol of value queries and enumeration,
// and the errors the port lists branch on.
#include <cstring>
#include <string>

#include "contract_machine.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace contract {
namespace {

// The case's test key, created and open; closed again with the object.
class TestKey {
 public:
  explicit TestKey(ContractMachine& machine) : registry(machine.Services().registry), path_(machine.TestKeyPath()) {}
  ~TestKey() {
    if (key != 0) (void)registry->CloseKey(key);  // closing has cases of its own
  }
  void Open() {
    ASSERT_EQ(registry->CreateKey(platform::kHkeyCurrentUser, path_.c_str(), platform::kKeyReadWrite, &key), 0);
  }
  void SetText(const char* name, const std::string& text) {
    ASSERT_EQ(registry->SetValue(key, name, platform::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                 static_cast<std::uint32_t>(text.size() + 1)),
              0);
  }

  platform::IRegistry* const registry;
  platform::KeyRef key = 0;

 private:
  const std::string path_;
};

TEST_P(RegistryContract, OpenKeyOfAMissingKeyLeavesTheKey) {
  platform::KeyRef key = kSentinel;
  const std::string path = machine().TestKeyPath() + "\\missing";
  EXPECT_EQ(services().registry->OpenKey(platform::kHkeyCurrentUser, path.c_str(), platform::kKeyRead, &key),
            static_cast<long>(platform::kErrorFileNotFound));
  EXPECT_EQ(key, kSentinel);
}

TEST_P(RegistryContract, CreateKeyMakesEveryLevelAndOpenKeyFindsItWithoutRegardToCase) {
  platform::IRegistry& registry = *services().registry;
  const std::string path = machine().TestKeyPath();
  platform::KeyRef created = kSentinel;
  ASSERT_EQ(registry.CreateKey(platform::kHkeyCurrentUser, (path + "\\One\\Two").c_str(), platform::kKeyReadWrite,
                               &created),
            0);
  EXPECT_NE(created, kSentinel);
  EXPECT_NE(created, 0u);
  EXPECT_EQ(registry.CloseKey(created), 0);
  platform::KeyRef opened = kSentinel;
  ASSERT_EQ(registry.OpenKey(platform::kHkeyCurrentUser, (path + "\\ONE\\two").c_str(), platform::kKeyRead, &opened), 0);
  EXPECT_NE(opened, kSentinel);
  EXPECT_EQ(registry.CloseKey(opened), 0);
}

// A closed key is no key any more: the system answers ERROR_INVALID_HANDLE.
TEST_P(RegistryContract, CloseKeyTwiceGivesInvalidHandle) {
  platform::IRegistry& registry = *services().registry;
  platform::KeyRef key = 0;
  ASSERT_EQ(registry.CreateKey(platform::kHkeyCurrentUser, machine().TestKeyPath().c_str(), platform::kKeyReadWrite,
                               &key),
            0);
  EXPECT_EQ(registry.CloseKey(key), 0);
  EXPECT_EQ(registry.CloseKey(key), static_cast<long>(platform::kErrorInvalidHandle));
}

TEST_P(RegistryContract, CloseKeyOfAPredefinedRootSucceeds) {
  EXPECT_EQ(services().registry->CloseKey(platform::kHkeyCurrentUser), 0);
}

// The size query: no buffer, the value's size and type come back.
TEST_P(RegistryContract, QueryValueWithoutBufferGivesTheSize) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Port", "COM1");
  std::uint32_t type = kSentinel;
  std::uint32_t size = kSentinel;
  EXPECT_EQ(registry->QueryValue(key, "Port", &type, nullptr, &size), 0);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(size, 5u);
}

TEST_P(RegistryContract, QueryValueIntoASmallBufferGivesMoreDataAndTheSize) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Port", "COM1");
  std::uint32_t type = kSentinel;
  std::uint8_t data[8];
  std::memset(data, kSentinelByte, sizeof data);
  std::uint32_t size = 4;
  EXPECT_EQ(registry->QueryValue(key, "Port", &type, data, &size), static_cast<long>(platform::kErrorMoreData));
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(data[4], static_cast<std::uint8_t>(kSentinelByte));  // nothing past the buffer's size
}

TEST_P(RegistryContract, QueryValueIntoAnExactBuffer) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Port", "COM1");
  std::uint32_t type = kSentinel;
  std::uint8_t data[8];
  std::memset(data, kSentinelByte, sizeof data);
  std::uint32_t size = 5;
  EXPECT_EQ(registry->QueryValue(key, "port", &type, data, &size), 0);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(std::memcmp(data, "COM1", 5), 0);
  EXPECT_EQ(data[5], static_cast<std::uint8_t>(kSentinelByte));
}

// The type and size are left unspecified on failure (Wine clears them), so the data alone is
// checked besides the result.
TEST_P(RegistryContract, QueryValueOfAMissingValueLeavesTheData) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  std::uint32_t type = kSentinel;
  std::uint8_t data[4];
  std::memset(data, kSentinelByte, sizeof data);
  std::uint32_t size = sizeof data;
  EXPECT_EQ(registry->QueryValue(key, "Missing", &type, data, &size), static_cast<long>(platform::kErrorFileNotFound));
  EXPECT_EQ(data[0], static_cast<std::uint8_t>(kSentinelByte));
}

TEST_P(RegistryContract, SetValueOfADwordReadsBackWithItsType) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  const std::uint8_t value[4] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(registry->SetValue(key, "Number", platform::kRegDword, value, 4), 0);
  std::uint32_t type = kSentinel;
  std::uint8_t data[4] = {};
  std::uint32_t size = sizeof data;
  EXPECT_EQ(registry->QueryValue(key, "Number", &type, data, &size), 0);
  EXPECT_EQ(type, platform::kRegDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::memcmp(data, value, 4), 0);
}

TEST_P(RegistryContract, QueryValueOfAClosedKeyGivesInvalidHandle) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Port", "COM1");
  ASSERT_EQ(registry->CloseKey(key), 0);
  const platform::KeyRef closed = key;
  key = 0;
  std::uint32_t type = kSentinel;
  std::uint32_t size = kSentinel;
  EXPECT_EQ(registry->QueryValue(closed, "Port", &type, nullptr, &size), static_cast<long>(platform::kErrorInvalidHandle));
}

// EnumValue as the port lists call it: buffers of 260 bytes for the name and the data.
TEST_P(RegistryContract, EnumValueGivesNameAndDataWithTheirLengths) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("\\Device\\Serial0", "COM1");
  char name[260];
  std::uint8_t data[260];
  std::memset(name, kSentinelByte, sizeof name);
  std::memset(data, kSentinelByte, sizeof data);
  std::uint32_t nameSize = sizeof name;
  std::uint32_t dataSize = sizeof data;
  EXPECT_EQ(registry->EnumValue(key, 0, name, &nameSize, data, &dataSize), 0);
  EXPECT_STREQ(name, "\\Device\\Serial0");
  EXPECT_EQ(nameSize, 15u);  // without the NUL
  EXPECT_EQ(dataSize, 5u);   // with it
  EXPECT_EQ(std::memcmp(data, "COM1", 5), 0);
}

TEST_P(RegistryContract, EnumValuePastTheLastGivesNoMoreItemsAndLeavesTheSizes) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("One", "COM1");
  char name[260];
  std::uint8_t data[260];
  std::uint32_t nameSize = sizeof name;
  std::uint32_t dataSize = sizeof data;
  EXPECT_EQ(registry->EnumValue(key, 1, name, &nameSize, data, &dataSize),
            static_cast<long>(platform::kErrorNoMoreItems));
  EXPECT_EQ(nameSize, sizeof name);
  EXPECT_EQ(dataSize, sizeof data);
}

// A name that fits only without its NUL does not fit.
TEST_P(RegistryContract, EnumValueWithANameBufferOneShortGivesMoreData) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Serial", "COM1");
  char name[6];
  std::uint8_t data[260];
  std::uint32_t nameSize = sizeof name;
  std::uint32_t dataSize = sizeof data;
  EXPECT_EQ(registry->EnumValue(key, 0, name, &nameSize, data, &dataSize), static_cast<long>(platform::kErrorMoreData));
}

TEST_P(RegistryContract, EnumValueWithADataBufferTooSmallGivesMoreDataAndTheDataSize) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Serial", "COM10");
  char name[260];
  std::uint8_t data[4];
  std::uint32_t nameSize = sizeof name;
  std::uint32_t dataSize = sizeof data;
  EXPECT_EQ(registry->EnumValue(key, 0, name, &nameSize, data, &dataSize), static_cast<long>(platform::kErrorMoreData));
  EXPECT_EQ(dataSize, 6u);
}

// The port lists pass over a value that does not fit and go on with the next index.
TEST_P(RegistryContract, EnumValueGoesOnAfterAValueThatDoesNotFit) {
  TestKey test(machine());
  ASSERT_NO_FATAL_FAILURE(test.Open());
  platform::IRegistry* registry = test.registry;
  platform::KeyRef& key = test.key;
  test.SetText("Long", std::string(300, 'x'));
  test.SetText("Short", "COM2");
  char name[260];
  std::uint8_t data[260];
  std::uint32_t nameSize = sizeof name;
  std::uint32_t dataSize = sizeof data;
  EXPECT_EQ(registry->EnumValue(key, 0, name, &nameSize, data, &dataSize), static_cast<long>(platform::kErrorMoreData));
  nameSize = sizeof name;
  dataSize = sizeof data;
  EXPECT_EQ(registry->EnumValue(key, 1, name, &nameSize, data, &dataSize), 0);
  EXPECT_STREQ(name, "Short");
  EXPECT_STREQ(reinterpret_cast<const char*>(data), "COM2");
}

}  // namespace
}  // namespace contract
