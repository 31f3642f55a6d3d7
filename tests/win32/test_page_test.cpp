// The test page printed for real: on a PostScript printer of Wine's own driver whose port Wine's
// spooler writes to a file in the build folder. The texts and a picture of the page are taken from
// that file afterwards by tests/win32/check_test_page.sh (the test win32.test_page_output), with the
// page text beside it.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <string>

#include "installer/install_texts.h"
#include "platform/win32/win32_services.h"
#include "testpage/test_page.h"
#include "wine_support.h"

namespace {

using wine_test::DosPath;
using wine_test::MapPortToFile;
using wine_test::ReadWholeFile;
using wine_test::UnmapPort;

const char kPrinter[] = "Test Page Printer";
const char kDriver[] = "Test Page PostScript";
const char kPort[] = "TESTPAGE:";
const char kOutputFolder[] = SETUP_BINARY_DIR "/test-page";
const char kOutputFile[] = SETUP_BINARY_DIR "/test-page/test_page.ps";
const char kPageTextFile[] = SETUP_BINARY_DIR "/test-page/page_text.txt";
const char kPrinterDescription[] = SETUP_SOURCE_DIR "/tests/win32/support/test_page_printer.ppd";
const char kTitleBitmap[] = SETUP_SOURCE_DIR "/resources/title_bitmap/title.bmp";

// Wine's PostScript driver with our printer description; the driver file is Wine's built-in one.
bool AddPostScriptDriver() {
  const std::string description = DosPath(kPrinterDescription);
  DRIVER_INFO_3A driver;
  ZeroMemory(&driver, sizeof driver);
  driver.cVersion = 3;
  driver.pName = const_cast<char*>(kDriver);
  driver.pDriverPath = const_cast<char*>("wineps.drv");
  driver.pDataFile = const_cast<char*>(description.c_str());
  driver.pConfigFile = const_cast<char*>("wineps.drv");
  driver.pDefaultDataType = const_cast<char*>("RAW");
  return AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                             APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY) != FALSE;
}

bool AddTestPrinter() {
  PRINTER_INFO_2A info;
  ZeroMemory(&info, sizeof info);
  info.pPrinterName = const_cast<char*>(kPrinter);
  info.pPortName = const_cast<char*>(kPort);
  info.pDriverName = const_cast<char*>(kDriver);
  info.pPrintProcessor = const_cast<char*>("winprint");
  info.pDatatype = const_cast<char*>("RAW");
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (printer == nullptr) return false;
  ClosePrinter(printer);
  return true;
}

class WineTestPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wine_test::DeletePrinters(kPrinter);
    CreateDirectoryA(DosPath(kOutputFolder).c_str(), nullptr);
    ASSERT_TRUE(MapPortToFile(kPort, kOutputFile));
    ASSERT_TRUE(AddPostScriptDriver()) << GetLastError();
    ASSERT_TRUE(AddTestPrinter()) << GetLastError();
  }

  void TearDown() override {
    wine_test::DeletePrinters(kPrinter);
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriver));
    UnmapPort(kPort);
  }
};

TEST_F(WineTestPageTest, PrintsThePageToThePrintersPort) {
  HBITMAP title = static_cast<HBITMAP>(
      LoadImageA(nullptr, DosPath(kTitleBitmap).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(title, nullptr) << GetLastError();
  DeleteFileA(DosPath(kOutputFile).c_str());
  ASSERT_TRUE(wine_test::WriteTextFile(DosPath(kPageTextFile), TestPageTextFor(kLanguageEnglish)));

  PrintTestPage(win32::MachinePlatform(), kPrinter, reinterpret_cast<platform::BitmapRef>(title),
                TestPageTextFor(kLanguageEnglish));
  DeleteObject(title);

  const std::string page = ReadWholeFile(DosPath(kOutputFile));
  ASSERT_EQ(page.compare(0, 4, "%!PS"), 0) << "no PostScript in " << kOutputFile;
  // The document is named after the printer.
  EXPECT_NE(page.find(std::string("%%Title: ") + kPrinter), std::string::npos);
  EXPECT_NE(page.find("%%EOF"), std::string::npos);
}

TEST_F(WineTestPageTest, APrinterThatDoesNotExistPrintsNothing) {
  HBITMAP title = static_cast<HBITMAP>(
      LoadImageA(nullptr, DosPath(kTitleBitmap).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(title, nullptr);
  const std::string before = ReadWholeFile(DosPath(kOutputFile));

  PrintTestPage(win32::MachinePlatform(), "Test Page Printer (no such)", reinterpret_cast<platform::BitmapRef>(title),
                TestPageTextFor(kLanguageEnglish));
  DeleteObject(title);

  EXPECT_EQ(ReadWholeFile(DosPath(kOutputFile)), before);
}

}  // namespace
