// The platform contract: cases written once against the platform interfaces and run against each
// back-end, the simulated machine on the host and the real calls under Wine. A case puts sentinel
// values into every out-parameter and into the last error before each call, then asserts the exact
// result, last error and out-values, so that a back-end that disagrees fails that case by name.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace contract {

// A sentinel that no call writes by accident.
constexpr std::uint32_t kSentinel = 0xDEADBEEFu;
constexpr char kSentinelByte = '\x5A';

// The resource the contract programs carry (tests/contract/contract_resource.bin).
constexpr std::uint16_t kResourceId = 700;
constexpr char kResourceType[] = "CONTRACTDATA";
// The banner bitmap of the dialog resources (resources/logo_banner.bmp).
constexpr std::uint16_t kBannerBitmapId = 139;
// The main dialog and the controls the cases drive.
constexpr int kMainDialogId = 102;
constexpr int kListBoxId = 1010;
constexpr int kIpAddressId = 1011;

// The little-endian 32-bit number at `offset` of the bytes, 0 when they are shorter.
inline std::int32_t Le32At(const std::string& bytes, std::size_t offset) {
  if (bytes.size() < offset + 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<std::int32_t>(value);
}

// The width and height fields of a BMP file's info header.
inline void BitmapFileSize(const std::string& file, int* width, int* height) {
  constexpr std::size_t kWidthOffset = 18;
  constexpr std::size_t kHeightOffset = 22;
  *width = Le32At(file, kWidthOffset);
  *height = Le32At(file, kHeightOffset);
}

// One machine for one case: the back-end under test and the set-up it needs. Everything a case
// makes (a folder, a registry key, a printer, a driver, a device interface) goes with the machine.
class ContractMachine {
 public:
  virtual ~ContractMachine() = default;
  // The services under test.
  virtual platform::Platform& Services() = 0;
  // SetLastError: the sentinel the cases put into the last error before a call.
  virtual void SetLastError(std::uint32_t code) = 0;
  // True for the real calls under Wine (for the cases where Wine is known to differ from Windows).
  virtual bool IsWine() const = 0;
  // The pointer size of the program the back-end serves: the simulated machine stands for the
  // 32-bit program; the real one is the running process.
  virtual unsigned PointerSize() const = 0;
  // False where the read-only attribute does not keep the program from writing: Wine keeps it as
  // the file's Unix write permissions, which do not bind the superuser.
  virtual bool ReadOnlyIsEnforced() const = 0;
  // A fresh, empty folder (an absolute Windows path without a trailing backslash).
  virtual std::string Folder() = 0;
  // A key under HKEY_CURRENT_USER that the case may fill (it does not exist yet).
  virtual std::string TestKeyPath() = 0;
  // A present, active USB printer interface of that device instance: its device path, "" when
  // it cannot be made.
  virtual std::string AddUsbPrinterInterface(const char* instanceId) = 0;
  // The width and height of the banner bitmap as its file holds them.
  virtual void BannerSize(int* width, int* height) = 0;
};

using MachineFactory = std::unique_ptr<ContractMachine> (*)();

// The fixture of every contract case: a fresh machine from the back-end's factory.
class PlatformContract : public ::testing::TestWithParam<MachineFactory> {
 protected:
  void SetUp() override {
    machine_ = GetParam()();
    ASSERT_NE(machine_, nullptr);
  }
  void TearDown() override { machine_.reset(); }

  ContractMachine& machine() { return *machine_; }
  platform::Platform& services() { return machine_->Services(); }
  std::uint32_t LastError() { return machine_->Services().system->LastError(); }
  // The sentinel into the last error, before a call.
  void ArmLastError() { machine_->SetLastError(kSentinel); }
  // True under Wine for a call where Wine is known to answer otherwise than Windows: the case then
  // expects Wine's answer, and the reason shows in the test's output. The simulated machine
  // follows Windows.
  bool WineDiffers(const char* reason) {
    if (!machine_->IsWine()) return false;
    RecordProperty("wine_differs", reason);
    std::printf("Wine differs from Windows here: %s\n", reason);
    return true;
  }
  // Whether writes to a read-only file are refused here; where they are not (Wine run by the
  // superuser) the case leaves those calls out and says so.
  bool ReadOnlyHolds() {
    if (machine_->ReadOnlyIsEnforced()) return true;
    RecordProperty("wine_differs", "read-only files are writable: Wine run by the superuser");
    std::printf("Wine differs from Windows here: the superuser writes read-only files; those calls are left out\n");
    return false;
  }

 private:
  std::unique_ptr<ContractMachine> machine_;
};

// One fixture per interface, so that each shows under its own name.
class SystemContract : public PlatformContract {};
class RegistryContract : public PlatformContract {};
class FilesContract : public PlatformContract {};
class SpoolerContract : public PlatformContract {};
class DevicesContract : public PlatformContract {};
class ResourcesContract : public PlatformContract {};
class PrintingContract : public PlatformContract {};
class DialogContract : public PlatformContract {};
class ShellContract : public PlatformContract {};

}  // namespace contract

// Runs every contract case against the back-end that `factory` makes; the instantiation is named
// alike on every back-end, so that the case names are the same.
#define INSTANTIATE_PLATFORM_CONTRACT(factory)                                                       \
  INSTANTIATE_TEST_SUITE_P(Machine, SystemContract, ::testing::Values(factory));                   \
  INSTANTIATE_TEST_SUITE_P(Machine, RegistryContract, ::testing::Values(factory));                 \
  INSTANTIATE_TEST_SUITE_P(Machine, FilesContract, ::testing::Values(factory));                    \
  INSTANTIATE_TEST_SUITE_P(Machine, SpoolerContract, ::testing::Values(factory));                  \
  INSTANTIATE_TEST_SUITE_P(Machine, DevicesContract, ::testing::Values(factory));                  \
  INSTANTIATE_TEST_SUITE_P(Machine, ResourcesContract, ::testing::Values(factory));                \
  INSTANTIATE_TEST_SUITE_P(Machine, PrintingContract, ::testing::Values(factory));                 \
  INSTANTIATE_TEST_SUITE_P(Machine, DialogContract, ::testing::Values(factory));                   \
  INSTANTIATE_TEST_SUITE_P(Machine, ShellContract, ::testing::Values(factory))
