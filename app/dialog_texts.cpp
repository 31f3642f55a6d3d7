#include "app/dialog_texts.h"

const char kDialogTitle[] = "Printer Driver Setup V1.23";

const ControlLabel kControlLabels[] = {
    {1001, "1. 是否设置为系统默认的打印机?", "1.Set to the system's default printer?"},
    {1002, "否 (不设置为默认)", "No (not default)"},
    {1003, "是 (设置为默认)", "Yes (default)"},
    {1031, "2. 您的打印机通过哪种方式与电脑连接 ?", "2.How does your printer connect to your computer?"},
    {1007, "串口", "COM"},
    {1008, "并口", "LPT"},
    {1009, "以太网", "LAN"},
    {1012, "打印机 IP 地址:", "Printer IP address:"},
    {1028, "* 波特率 ", "Baud rate"},
    {1, "开始安装打印机驱动", "installing the printer driver"},
    {2, "退出", "Exit"},
    {1023, "*安装出现问题 ? 点击这里尝试使用向导进行安装.", "*Click here to try the installation using the wizard."},
};
const std::size_t kControlLabelCount = sizeof kControlLabels / sizeof kControlLabels[0];

namespace {

struct PanelTexts {
  const char* headerChinese;
  const char* headerEnglish;
  const char* noPortChinese;
  const char* noPortEnglish;
};

// By connection kind: USB, COM, LPT.
const PanelTexts kPanelTexts[] = {
    {"请选择以下USB端口:", "Please select USB port:",
     "未检测到电脑上连接有<USB打印机>! 请您确认您的USB打印机与电脑已经正确的连接 !",
     "There is no <USB printer> connected to the computer! Please confirm that your USB printer is properly "
     "connected to the computer !"},
    {"请选择以下串口端口:", "Please select serial port:", "未检测到电脑上有<串口>设备 !",
     "No < serial > device was detected on the computer !"},
    {"请选择以下并口端口:", "Please select parallel port:", "未检测到电脑上有<并口>设备 !",
     "No device < parallel port > was detected on the computer !"},
};

const PanelTexts* PanelTextsOf(std::int32_t kind) {
  if (kind < kConnectionUsb || kind > kConnectionLpt) return nullptr;
  return &kPanelTexts[kind];
}

}  // namespace

const char* LabelText(const ControlLabel& label, std::int32_t language) {
  return language == kLanguageChinese ? label.chinese : label.english;
}

const char* PortHeaderText(std::int32_t kind, std::int32_t language) {
  const PanelTexts* texts = PanelTextsOf(kind);
  if (texts == nullptr) return nullptr;
  return language == kLanguageChinese ? texts->headerChinese : texts->headerEnglish;
}

const char* NoPortText(std::int32_t kind, std::int32_t language) {
  const PanelTexts* texts = PanelTextsOf(kind);
  if (texts == nullptr) return nullptr;
  return language == kLanguageChinese ? texts->noPortChinese : texts->noPortEnglish;
}
