// The dialog's list box and IP address control, driven through the dialog interface inside a
// modal run of the program's main dialog.
#include <cstring>
#include <functional>

#include "contract_machine.h"
#include "platform/dialog.h"

namespace contract {
namespace {

constexpr std::uint32_t kCommonControlsSize = 8;
constexpr std::uint32_t kWin95AndInternetClasses = 0xFF | 0x800;  // ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES

// Runs `body` on the window while the dialog initialises, then ends the run with IDOK.
class ScriptedDialog : public platform::IDialogHandler {
 public:
  explicit ScriptedDialog(std::function<void(platform::IDialogWindow&)> body) : body_(std::move(body)) {}
  void Attach(platform::IDialogWindow* window) override { window_ = window; }
  platform::MessageResult HandleMessage(const platform::DialogMessage& message) override {
    if (message.message != platform::kWmInitDialog || window_ == nullptr) return {};
    body_(*window_);
    window_->EndDialog(platform::kIdOk);
    return {true, 1};
  }

 private:
  std::function<void(platform::IDialogWindow&)> body_;
  platform::IDialogWindow* window_ = nullptr;
};

void RunDialog(platform::Platform& services, std::function<void(platform::IDialogWindow&)> body) {
  services.dialogs->InitCommonControls(kCommonControlsSize, kWin95AndInternetClasses);
  ScriptedDialog dialog(std::move(body));
  EXPECT_EQ(services.dialogs->RunModal(kMainDialogId, dialog), platform::kIdOk);
}

// The port list is sorted without regard to case; an insertion at -1 goes to the end unsorted.
TEST_P(DialogContract, ListBoxAddInsertAndSelect) {
  RunDialog(services(), [](platform::IDialogWindow& window) {
    EXPECT_EQ(window.ListAddString(kListBoxId, "COM3:"), 0);
    EXPECT_EQ(window.ListAddString(kListBoxId, "COM1:"), 0);
    EXPECT_EQ(window.ListAddString(kListBoxId, "com2:"), 1);
    EXPECT_EQ(window.ListInsertString(kListBoxId, -1, "AAA"), 3);
    EXPECT_EQ(window.ListGetCurSel(kListBoxId), platform::kLbErr);
    window.ListSetCurSel(kListBoxId, 2);
    EXPECT_EQ(window.ListGetCurSel(kListBoxId), 2);
    window.ListSetCurSel(kListBoxId, -1);
    EXPECT_EQ(window.ListGetCurSel(kListBoxId), platform::kLbErr);
    char text[16];
    const char* expected[] = {"COM1:", "com2:", "COM3:", "AAA"};
    for (int index = 0; index < 4; ++index) {
      std::memset(text, kSentinelByte, sizeof text);
      EXPECT_EQ(window.ListGetText(kListBoxId, index, text, sizeof text), static_cast<int>(std::strlen(expected[index])));
      EXPECT_STREQ(text, expected[index]);
    }
  });
}

// LB_GETTEXT has no size: an item that would not fit, or no item, gives LB_ERR and leaves the buffer.
TEST_P(DialogContract, ListBoxGetTextRefusesWhatDoesNotFit) {
  RunDialog(services(), [](platform::IDialogWindow& window) {
    ASSERT_EQ(window.ListAddString(kListBoxId, "COM1:"), 0);
    char text[16];
    std::memset(text, kSentinelByte, sizeof text);
    EXPECT_EQ(window.ListGetText(kListBoxId, 0, text, 5), platform::kLbErr);
    EXPECT_EQ(window.ListGetText(kListBoxId, 1, text, sizeof text), platform::kLbErr);
    EXPECT_EQ(window.ListGetText(kListBoxId, -1, text, sizeof text), platform::kLbErr);
    EXPECT_EQ(text[0], kSentinelByte);
    EXPECT_EQ(window.ListGetText(kListBoxId, 0, text, 6), 5);
    window.ListResetContent(kListBoxId);
    std::memset(text, kSentinelByte, sizeof text);
    EXPECT_EQ(window.ListGetText(kListBoxId, 0, text, sizeof text), platform::kLbErr);
    EXPECT_EQ(text[0], kSentinelByte);
  });
}

TEST_P(DialogContract, IpAddressControlBlankAndSet) {
  RunDialog(services(), [](platform::IDialogWindow& window) {
    std::uint32_t address = kSentinel;
    EXPECT_EQ(window.GetIpAddress(kIpAddressId, &address), 0);
    EXPECT_EQ(address, 0u);
    window.SetIpAddress(kIpAddressId, 0xC0A80164u);
    address = kSentinel;
    EXPECT_EQ(window.GetIpAddress(kIpAddressId, &address), 4);
    EXPECT_EQ(address, 0xC0A80164u);
    window.SetIpAddress(kIpAddressId, 0);
    address = kSentinel;
    EXPECT_EQ(window.GetIpAddress(kIpAddressId, &address), 4);
    EXPECT_EQ(address, 0u);
  });
}

}  // namespace
}  // namespace contract
