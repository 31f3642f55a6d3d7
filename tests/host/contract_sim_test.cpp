// The platform contract against the simulated machine, and the cases only the simulation can
// reach (junctions, which Wine cannot make), kept host-only under names that say so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "contract_machine.h"
#include "platform/sim/sim_machine.h"

namespace {

const char kSourceDir[] = SETUP_SOURCE_DIR;

// The bytes of a host file, empty when it cannot be read.
std::string HostFile(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

class SimContractMachine : public contract::ContractMachine {
 public:
  SimContractMachine() {
    const std::string banner = std::string(kSourceDir) + "/resources/logo_banner.bmp";
    sim.resources.PutFile(contract::kResourceId, contract::kResourceType,
                          std::string(kSourceDir) + "/tests/contract/contract_resource.bin");
    int width = 0;
    int height = 0;
    contract::BitmapFileSize(HostFile(banner), &width, &height);
    sim.resources.bitmaps[contract::kBannerBitmapId] = sim.printing.AddBitmap(width, height, 24);
  }

  platform::Platform& Services() override { return sim.platform(); }
  void SetLastError(std::uint32_t code) override { sim.system.SetLastError(code); }
  bool IsWine() const override { return false; }
  unsigned PointerSize() const override { return 4; }
  bool ReadOnlyIsEnforced() const override { return true; }
  std::string Folder() override {
    const std::string folder = sim.files.tempPath + "platform-contract";
    sim.files.PutDirectory(folder);
    return folder;
  }
  std::string TestKeyPath() override { return "Software\\PlatformContract"; }
  // The device path as the system forms it from the instance id: lower case, '#' for '\'.
  std::string AddUsbPrinterInterface(const char* instanceId) override {
    std::string path = std::string("\\\\?\\") + instanceId + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    std::transform(path.begin() + 4, path.end(), path.begin() + 4, [](char c) {
      return c == '\\' ? '#' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    sim.devices.Add(path);
    return path;
  }
  void BannerSize(int* width, int* height) override {
    contract::BitmapFileSize(HostFile(std::string(kSourceDir) + "/resources/logo_banner.bmp"), width, height);
  }

  sim::SimMachine sim;
};

std::unique_ptr<contract::ContractMachine> NewSimMachine() { return std::make_unique<SimContractMachine>(); }

// A junction in the simulated machine's folder, to a folder that holds a file.
class FilesContractHostOnly : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = machine.Folder();
    files.PutFile(folder + "\\target\\kept.txt", "kept");
    std::filesystem::create_directory_symlink(files.HostPath(folder + "\\target"), files.HostPath(folder + "\\link"));
  }

  SimContractMachine machine;
  sim::SimFileSystem& files = machine.sim.files;
  std::string folder;
};

TEST_F(FilesContractHostOnly, JunctionIsADirectoryAndAReparsePoint) {
  EXPECT_EQ(files.GetFileAttributes((folder + "\\link").c_str()),
            platform::kFileAttributeDirectory | platform::kFileAttributeReparsePoint);
  std::vector<platform::FoundFile> found;
  ASSERT_TRUE(files.FindFiles((folder + "\\*.*").c_str(), &found));
  auto link = std::find_if(found.begin(), found.end(), [](const platform::FoundFile& f) { return f.name == "link"; });
  ASSERT_NE(link, found.end());
  EXPECT_TRUE(link->directory);
  EXPECT_TRUE(link->link);
  EXPECT_FALSE(link->dots);
}

// Removing a junction removes the link alone, however full its target is.
TEST_F(FilesContractHostOnly, RemoveDirectoryOfAJunctionKeepsItsTarget) {
  EXPECT_TRUE(files.RemoveDirectory((folder + "\\link").c_str()));
  EXPECT_EQ(files.GetFileAttributes((folder + "\\link").c_str()), platform::kInvalidFileAttributes);
  EXPECT_EQ(files.ReadFile(folder + "\\target\\kept.txt"), "kept");
}

}  // namespace

namespace contract {
INSTANTIATE_PLATFORM_CONTRACT(&NewSimMachine);
}  // namespace contract
