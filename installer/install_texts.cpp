#include "installer/install_texts.h"

namespace {

bool IsChinese(std::int32_t language) { return language == kLanguageChinese; }

const char kTestPageChinese[] =
    "               .  \r\n\r\n\r\n\r\n\r\n        恭喜！      \r\n如果您可以读取这个 \r\n"
    "信息，说明打印机驱 \r\n动已经安装成功了！  \r\n感谢您的使用！  \r\n\r\n打印机名称：\r\n"
    "\r\n\r\n\r\n\r\n   ** 测试页结束 **\r\n";

const char kTestPageEnglish[] =
    "               .  \r\n\r\n\r\n\r\n\r\n  Congratulations !   \r\nIf you can read this\r\n"
    "information you have \r\nsucceed intall this\r\nprinter driver !  \r\n\r\nPrinter Name:\r\n"
    "\r\n\r\n\r\n\r\n ** Test page end **\r\n";

}  // namespace

const char* TestPageTextFor(std::int32_t language) {
  return IsChinese(language) ? kTestPageChinese : kTestPageEnglish;
}

const char* CopyFailureText(DriverVariant variant, std::int32_t language, std::int32_t versionLevel) {
  const bool advice = versionLevel >= 3;
  if (!IsChinese(language)) {
    return advice ? "Malfunction !\nPls try using <Run as administrator>open this App" : "Malfunction !";
  }
  if (variant == DriverVariant::X64) {
    return advice ? "安装过程发生错误 !\r\n请尝试<以管理员身份运行>安装文件 .\r\n或者关闭您的杀毒软件后重试 !"
                  : "安装过程发生错误 !\r\n或者关闭您的杀毒软件后重试 !";
  }
  return advice ? "安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。" : "安装过程发生错误！";
}

const char* RegistrationFailureText(DriverVariant variant, std::int32_t language) {
  if (!IsChinese(language)) return "Install printer driver failed !";
  return variant == DriverVariant::X64 ? "安装打印机驱动过程发生错误 !\r\n请关闭您的杀毒软件后重试 !"
                                       : "安装打印机驱动过程发生错误！";
}

const char* SuccessFormat(std::int32_t language) {
  return IsChinese(language)
             ? "打印机驱动已经成功的安装在您的电脑上 !\r\n打印机名称 : %s\r\n打印机端口 : %s\r\n"
             : "The printer driver has been successfully installed on your computer!\r\n"
               "Printer name : %s\r\nPrinter port : %s\r\n";
}

const char* CopyNameFormat(std::int32_t language) {
  return IsChinese(language) ? "%s (副本 %d)" : "%s (copy %d)";
}
