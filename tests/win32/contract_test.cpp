// The platform contract against the Win32 back-end, under Wine in the build folder's private
// prefix: what a case makes lies under a test key, the prefix's temporary folder, and the
// spooler's and device registry's own places, and goes again with the case's machine.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "contract_machine.h"
#include "platform/win32/win32_services.h"
#include "usb_printer_interface.h"
#include "wine_support.h"

namespace {

const char kTestKey[] = "Software\\PlatformContract";
const char* const kEnvironments[] = {"Windows NT x86", "Windows x64"};

// Deletes the files matching the pattern in the folder.
void DeleteMatching(const std::string& folder, const char* pattern) {
  for (const std::string& name : wine_test::FolderEntries(folder)) {
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), static_cast<int>(std::strlen(pattern)), pattern,
                       static_cast<int>(std::strlen(pattern))) != CSTR_EQUAL) {
      continue;
    }
    const std::string path = folder + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  }
}

class Win32Machine : public contract::ContractMachine {
 public:
  Win32Machine() : services_(win32::MachinePlatform()) {
    RemoveMade();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }
  ~Win32Machine() override {
    SetCurrentDirectoryA(wine_test::ProgramFolder().c_str());
    interfaces_.clear();
    RemoveMade();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    if (!folder_.empty()) wine_test::RemoveTree(folder_);
  }

  platform::Platform& Services() override { return services_; }
  void SetLastError(std::uint32_t code) override { ::SetLastError(code); }
  bool IsWine() const override {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  }
  unsigned PointerSize() const override { return sizeof(void*); }
  bool ReadOnlyIsEnforced() const override {
    char user[256] = {};
    DWORD size = sizeof user;
    return !(IsWine() && GetUserNameA(user, &size) && std::strcmp(user, "root") == 0);
  }
  std::string Folder() override {
    if (folder_.empty()) folder_ = wine_test::ScratchFolder("platform-contract");
    return folder_;
  }
  std::string TestKeyPath() override { return kTestKey; }
  std::string AddUsbPrinterInterface(const char* instanceId) override {
    interfaces_.push_back(std::make_unique<wine_test::UsbPrinterInterface>(instanceId, 1));
    return interfaces_.back()->ready() ? interfaces_.back()->path() : std::string();
  }
  void BannerSize(int* width, int* height) override {
    contract::BitmapFileSize(wine_test::ReadWholeFile(wine_test::DosPath(SETUP_SOURCE_DIR "/resources/logo_banner.bmp")),
                             width, height);
  }

 private:
  // The printers, drivers and staged driver files the spooler cases make.
  static void RemoveMade() {
    wine_test::DeletePrinters("contract");
    for (const char* environment : kEnvironments) {
      wine_test::DeleteDriver("contract driver", environment);
      const std::string directory = wine_test::DriverDirectory(environment);
      if (directory.empty()) continue;
      DeleteMatching(directory, "CONTRACT");
      DeleteMatching(directory + "\\3", "CONTRACT");
    }
  }

  platform::Platform services_;
  std::string folder_;
  std::vector<std::unique_ptr<wine_test::UsbPrinterInterface>> interfaces_;
};

std::unique_ptr<contract::ContractMachine> NewWin32Machine() { return std::make_unique<Win32Machine>(); }

}  // namespace

namespace contract {
INSTANTIATE_PLATFORM_CONTRACT(&NewWin32Machine);
}  // namespace contract
