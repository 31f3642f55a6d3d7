// The main dialog's template, labels, language switch, data exchange and message map.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_texts.h"
#include "app/varnel_dlg.h"
#include "platform/sim/sim_machine.h"

namespace {

namespace ids = dialog_ids;

const platform::DialogTemplate& MainTemplate() { return *platform::ProgramDialogTemplate(kMainDialogTemplate); }

class DialogLabelsTest : public ::testing::Test {
 protected:
  void Open(std::uint16_t language) {
    machine.system.uiLanguage = language;
    dialog = std::make_unique<CVarnelDlg>(machine.platform());
    window = std::make_unique<sim::SimDialogWindow>(MainTemplate(), *dialog);
    window->Create();
  }

  std::string Text(int id) { return window->Control(id).text; }

  // Double-clicks the language switch n times.
  void Toggle(int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(window->DoubleClick(ids::kLanguageSwitch));
  }

  sim::SimMachine machine;
  std::unique_ptr<CVarnelDlg> dialog;
  std::unique_ptr<sim::SimDialogWindow> window;
};

TEST(DialogTemplate, HoldsTheControlsInTemplateOrderWithTheirStyles) {
  const platform::DialogTemplate& dialog = MainTemplate();
  EXPECT_EQ(dialog.width, 224);
  EXPECT_EQ(dialog.height, 133);
  EXPECT_EQ(dialog.language, 2052);
  EXPECT_STREQ(dialog.fontName, "MS Shell Dlg");
  EXPECT_EQ(dialog.pointSize, 9);
  EXPECT_EQ(dialog.style, 0x90CA00C8u);  // popup, visible, caption, system menu, minimize box, modal frame, font
  EXPECT_EQ(dialog.exStyle, 0x40000u);   // own taskbar button

  const std::vector<int> order = {1,    2,    1001, 1002, 1003, 1031, 1006, 1007, 1008, 1009, 1010, 1011, 1012,
                                  1014, 1023, 1015, 1028, 1024, 1025, 1026, 1027, 1032, 1033, -1};
  std::vector<int> ids;
  for (std::size_t i = 0; i < dialog.controlCount; ++i) ids.push_back(dialog.controls[i].id);
  EXPECT_EQ(ids, order);

  struct Spot {
    int id;
    const char* className;
    std::uint32_t style;
    std::uint32_t exStyle;
    int x, y, width, height;
  };
  const Spot spots[] = {
      {1, "button", 0x50010001, 0x20001, 6, 102, 96, 24},
      {1010, "listbox", 0x50A10103, 0, 54, 48, 81, 36},
      {1011, "SysIPAddress32", 0x50010000, 0, 54, 84, 81, 12},
      {1014, "edit", 0x50010804, 0, 54, 49, 72, 33},
      {1023, "button", 0x40018000, 0, 7, 113, 212, 13},
      {1028, "button", 0x50000007, 0, 136, 48, 41, 48},
      {1032, "static", 0x48020101, 0, 7, 94, 212, 8},
      {-1, "static", 0x5000000E, 0, 146, 8, 80, 23},
  };
  for (const Spot& spot : spots) {
    const platform::ControlTemplate* control = platform::FindControl(dialog, spot.id);
    ASSERT_NE(control, nullptr) << spot.id;
    EXPECT_STREQ(control->className, spot.className) << spot.id;
    EXPECT_EQ(control->style, spot.style) << spot.id;
    EXPECT_EQ(control->exStyle, spot.exStyle) << spot.id;
    EXPECT_EQ((std::vector<int>{control->x, control->y, control->width, control->height}),
              (std::vector<int>{spot.x, spot.y, spot.width, spot.height}))
        << spot.id;
  }
  EXPECT_EQ(platform::FindControl(dialog, -1)->image, 139);
  EXPECT_STREQ(platform::FindControl(dialog, 1033)->text, "                ");
}

TEST(DialogTemplate, RadioGroupsEndAtTheNextGroupStyle) {
  const platform::DialogTemplate& dialog = MainTemplate();
  EXPECT_EQ(platform::RadioGroup(dialog, 1002), (std::vector<int>{1002, 1003}));
  EXPECT_EQ(platform::RadioGroup(dialog, 1006), (std::vector<int>{1006, 1007, 1008, 1009}));
  EXPECT_EQ(platform::RadioGroup(dialog, 1024), (std::vector<int>{1024, 1025, 1026, 1027}));
  EXPECT_TRUE(platform::RadioGroup(dialog, 4711).empty());
}

// The template holds the Chinese labels, except for the IP caption, which the labels replace.
TEST(DialogTemplate, TemplateTextsAreTheChineseLabels) {
  for (std::size_t i = 0; i < kControlLabelCount; ++i) {
    const ControlLabel& label = kControlLabels[i];
    const platform::ControlTemplate* control = platform::FindControl(MainTemplate(), label.id);
    ASSERT_NE(control, nullptr) << label.id;
    if (label.id == ids::kIpLabel) {
      EXPECT_STREQ(control->text, "打印机的IP地址 :");
    } else {
      EXPECT_STREQ(control->text, label.chinese) << label.id;
    }
  }
}

TEST_F(DialogLabelsTest, LabelsFollowTheLanguageAndOtherControlsKeepTheirTexts) {
  struct Case {
    std::uint16_t language;
    const char* exitText;
    const char* ipCaption;
    const char* lanText;
  };
  const Case cases[] = {
      {2052, "退出", "打印机 IP 地址:", "以太网"},
      {1033, "Exit", "Printer IP address:", "LAN"},
      {1031, "Exit", "Printer IP address:", "LAN"},
      {1028, "Exit", "Printer IP address:", "LAN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    Open(c.language);
    EXPECT_EQ(window->title, "Printer Driver Setup V1.23");
    EXPECT_EQ(Text(ids::kExit), c.exitText);
    EXPECT_EQ(Text(ids::kIpLabel), c.ipCaption);
    EXPECT_EQ(Text(ids::kLan), c.lanText);
    for (std::size_t i = 0; i < kControlLabelCount; ++i) {
      EXPECT_EQ(Text(kControlLabels[i].id), LabelText(kControlLabels[i], c.language));
    }
    EXPECT_EQ(Text(ids::kUsb), "USB ");
    EXPECT_EQ(Text(ids::kBaud115200), "115200");
    EXPECT_EQ(Text(ids::kLanguageSwitch), "                ");
  }
}

TEST_F(DialogLabelsTest, EveryFifthDoubleClickSwitchesTheLanguage) {
  LanguageToggleCount = 1;
  Open(2052);
  Toggle(4);
  EXPECT_EQ(dialog->Installer.UiLanguage, 2052);
  EXPECT_EQ(Text(ids::kExit), "退出");
  Toggle(1);
  EXPECT_EQ(dialog->Installer.UiLanguage, 1033);
  EXPECT_EQ(Text(ids::kExit), "Exit");
  EXPECT_EQ(Text(1001), "1.Set to the system's default printer?");
  EXPECT_EQ(window->title, "Printer Driver Setup V1.23");
  Toggle(4);
  EXPECT_EQ(dialog->Installer.UiLanguage, 1033);
  Toggle(1);
  EXPECT_EQ(dialog->Installer.UiLanguage, 2052);
  EXPECT_EQ(Text(ids::kExit), "退出");
  EXPECT_EQ(LanguageToggleCount, 11);
}

TEST_F(DialogLabelsTest, FirstSwitchFromAnotherLanguageGoesToChinese) {
  LanguageToggleCount = 1;
  Open(1031);
  Toggle(5);
  EXPECT_EQ(dialog->Installer.UiLanguage, 2052);
  Toggle(5);
  EXPECT_EQ(dialog->Installer.UiLanguage, 1033);
}

// The counter is program-wide: a second dialog continues where the first stopped.
TEST_F(DialogLabelsTest, SingleClicksCountNothingAndTheCounterOutlivesTheDialog) {
  LanguageToggleCount = 1;
  Open(1033);
  Toggle(3);
  for (int i = 0; i < 5; ++i) window->Command(ids::kLanguageSwitch, platform::kBnClicked);  // STN_CLICKED
  EXPECT_EQ(LanguageToggleCount, 4);
  Open(1033);
  Toggle(2);
  EXPECT_EQ(dialog->Installer.UiLanguage, 2052);
}

TEST_F(DialogLabelsTest, ReadingRadioGroupsGivesMinusOneWithoutACheckedButton) {
  machine.registry.SetString(platform::kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial0", "COM1");
  Open(1033);
  ASSERT_TRUE(window->Click(1003));
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_EQ(dialog->DefaultPrinterChoice, 1);
  ASSERT_TRUE(window->Click(ids::kBaud115200));
  for (int id : {ids::kBaud9600, ids::kBaud19200, ids::kBaud38400, ids::kBaud115200}) window->SetChecked(id, false);
  for (int id : {1002, 1003}) window->SetChecked(id, false);
  // Clicking the chosen kind again rereads every group.
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_EQ(dialog->BaudChoice, -1);
  EXPECT_EQ(dialog->DefaultPrinterChoice, -1);
  // Two checked buttons: the last one counts, and writing leaves only that one checked.
  window->SetChecked(ids::kBaud9600, true);
  window->SetChecked(ids::kBaud38400, true);
  ASSERT_TRUE(window->Click(ids::kCom));
  EXPECT_EQ(dialog->BaudChoice, 2);
  EXPECT_FALSE(window->Control(ids::kBaud9600).checked);
  EXPECT_TRUE(window->Control(ids::kBaud38400).checked);
}

TEST_F(DialogLabelsTest, MessagesWithoutAnEntryAreLeftToTheSystem) {
  Open(1033);
  EXPECT_FALSE(window->Command(1002, platform::kBnClicked).handled);   // radio buttons have no handler
  EXPECT_FALSE(window->Command(1010, 5).handled);                      // another list notification
  platform::DialogMessage other;
  other.message = 0x0200;  // WM_MOUSEMOVE
  EXPECT_FALSE(window->Send(other).handled);
  platform::DialogMessage notify;
  notify.message = platform::kWmNotify;
  notify.id = ids::kIpAddress;
  notify.code = platform::kIpnFieldChanged;  // without its record
  EXPECT_FALSE(window->Send(notify).handled);
}

TEST_F(DialogLabelsTest, ExitEndsTheModalRunWithCancel) {
  machine.dialogs.user = [](sim::SimDialogWindow& window) { ASSERT_TRUE(window.Click(ids::kExit)); };
  CVarnelDlg modal(machine.platform());
  EXPECT_EQ(modal.DoModal(machine.dialogs), platform::kIdCancel);
  EXPECT_EQ(machine.dialogs.window->title, "Printer Driver Setup V1.23");
  EXPECT_EQ(modal.Window(), nullptr);
}

}  // namespace
