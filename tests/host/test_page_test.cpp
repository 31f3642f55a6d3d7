// The test page against a simulated machine, and the committed title bitmap.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "installer/install_texts.h"
#include "platform/sim/sim_machine.h"
#include "testpage/test_page.h"

namespace {

const char kPrinter[] = "printer RT5140";
const std::vector<std::string> kDrawingCalls = {"DrawTextA", "BitBlt", "TextOutA"};

bool IsDrawing(const std::string& line) {
  for (const std::string& call : kDrawingCalls) {
    if (line.compare(0, call.size() + 1, call + " ") == 0) return true;
  }
  return false;
}

class TestPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.spooler.AddExistingPrinter(kPrinter, "USB001");
    machine.system.localTime = platform::SystemTime{2024, 3, 2, 5, 9, 7, 2, 0};
    title = machine.printing.AddBitmap(308, 87);
  }

  void Print(const char* printer, const char* text) {
    machine.trace.clear();
    PrintTestPage(machine.platform(), printer, title, text);
  }

  sim::SimMachine machine;
  platform::BitmapRef title = 0;
};

struct PageCase {
  const char* name;
  std::int32_t language;
  const char* printer;
  std::size_t textLength;
};

// Names the case in test listings.
void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class TestPageTextTest : public TestPageTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(TestPageTextTest, PrintsOneDocumentOfOnePageInOrder) {
  const PageCase& page = GetParam();
  if (std::strcmp(page.printer, kPrinter) != 0) machine.spooler.AddExistingPrinter(page.printer, "USB002");
  const std::string text = TestPageTextFor(page.language);
  ASSERT_EQ(text.size(), page.textLength);
  const std::string name = page.printer;
  const std::string length = std::to_string(name.size());

  Print(page.printer, text.c_str());

  const std::vector<std::string> expected = {
      "GetObjectA bitmap 308x87",
      "CreateCompatibleDC 0",
      "SelectObject memory bitmap 308x87",
      "CreateDCA null \"" + name + "\" null null",
      "StartDocA printer \"" + name + "\" null null 0",
      "StartPage printer",
      "DrawTextA printer " + std::to_string(page.textLength) + " {10,10,400,500} 0x100 \"" + text + "\"",
      "BitBlt printer 30 20 308 87 memory(bitmap 308x87) 0 0 0xCC0020",
      "TextOutA printer 10 430 " + length + " \"" + name + "\"",
      "GetLocalTime",
      "TextOutA printer -20 500 21 \"  2024-03-05 09:07:02\"",
      "TextOutA printer -20 800 28 \"----------------------------\"",
      "EndPage printer",
      "EndDoc printer",
      "DeleteDC memory",
      "DeleteDC printer",
  };
  EXPECT_EQ(machine.trace, expected);

  ASSERT_EQ(machine.printing.documents.size(), 1u);
  const sim::SimDocument& document = machine.printing.documents[0];
  EXPECT_EQ(document.printer, name);
  EXPECT_EQ(document.name, name);
  EXPECT_TRUE(document.outputNull);
  EXPECT_TRUE(document.datatypeNull);
  EXPECT_EQ(document.pagesStarted, 1);
  EXPECT_EQ(document.pagesEnded, 1);
  EXPECT_TRUE(document.ended);
  EXPECT_EQ(document.drawing.size(), 5u);
  EXPECT_EQ(machine.printing.OpenDeviceContexts(), 0u);
  EXPECT_TRUE(machine.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, TestPageTextTest,
                         ::testing::Values(PageCase{"English", kLanguageEnglish, kPrinter, 185},
                                           PageCase{"Chinese", kLanguageChinese, "printer RT5140 (copy 1)", 177}),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST_F(TestPageTest, TheTimeLinePadsEveryFieldButTheYear) {
  struct Case {
    platform::SystemTime time;
    const char* line;
  };
  const Case cases[] = {
      {{2024, 3, 2, 5, 9, 7, 2, 0}, "  2024-03-05 09:07:02"},
      {{1999, 12, 5, 31, 23, 59, 59, 999}, "  1999-12-31 23:59:59"},
      {{2025, 1, 3, 1, 0, 0, 0, 0}, "  2025-01-01 00:00:00"},
  };
  for (const Case& c : cases) {
    machine.system.localTime = c.time;
    Print(kPrinter, TestPageTextFor(kLanguageEnglish));
    const std::string expected = "TextOutA printer -20 500 21 \"" + std::string(c.line) + "\"";
    EXPECT_EQ(machine.TraceOf("TextOutA printer -20 500"), std::vector<std::string>{expected}) << c.line;
  }
}

TEST_F(TestPageTest, ATitleOfAnotherSizeIsCopiedAtItsOwnSize) {
  Print(kPrinter, TestPageTextFor(kLanguageEnglish));
  const std::vector<std::string> usual = machine.printing.documents.at(0).drawing;

  title = machine.printing.AddBitmap(120, 40);
  Print(kPrinter, TestPageTextFor(kLanguageEnglish));

  ASSERT_EQ(machine.printing.documents.size(), 2u);
  std::vector<std::string> drawing = machine.printing.documents[1].drawing;
  ASSERT_EQ(drawing.size(), usual.size());
  EXPECT_EQ(drawing[1], "BitBlt printer 30 20 120 40 memory(bitmap 120x40) 0 0 0xCC0020");
  drawing[1] = usual[1];
  EXPECT_EQ(drawing, usual);
}

TEST_F(TestPageTest, APrinterThatCannotBeOpenedGetsNoDocument) {
  struct Case {
    const char* what;
    const char* printer;
    bool spoolerRunning;
    bool refuse;
  };
  const Case cases[] = {
      {"no printer of that name", "printer RT5140 (copy 7)", true, false},
      {"spooler not running", kPrinter, false, false},
      {"device context refused", kPrinter, true, true},
  };
  for (const Case& c : cases) {
    sim::SimMachine other;
    other.spooler.AddExistingPrinter(kPrinter, "USB001");
    other.spooler.SetRunning(c.spoolerRunning);
    if (c.refuse) other.faults.Fail("CreateDCA", platform::kErrorNotEnoughMemory);

    PrintTestPage(other.platform(), c.printer, other.printing.AddBitmap(308, 87), TestPageTextFor(kLanguageEnglish));

    EXPECT_TRUE(other.printing.documents.empty()) << c.what;
    for (const char* call : {"StartDocA", "StartPage", "EndPage", "EndDoc", "DeleteDC printer"}) {
      EXPECT_TRUE(other.TraceOf(call).empty()) << c.what << ": " << call;
    }
    for (const std::string& line : other.trace) EXPECT_FALSE(IsDrawing(line)) << c.what << ": " << line;
    EXPECT_EQ(other.TraceOf("DeleteDC memory").size(), 1u) << c.what;
    EXPECT_EQ(other.printing.OpenDeviceContexts(), 0u) << c.what;
    EXPECT_TRUE(other.messages.shown.empty()) << c.what;
  }
}

// Little-endian fields of the committed title bitmap at their offsets in the file.
std::uint32_t Read32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t Read16(const std::vector<unsigned char>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(TitleBitmapTest, IsA308By87OneBitPictureWithBlackFirstInItsColourTable) {
  std::ifstream file(SETUP_SOURCE_DIR "/resources/title_bitmap/title.bmp", std::ios::binary);
  ASSERT_TRUE(file) << "resources/title_bitmap/title.bmp";
  const std::vector<unsigned char> bmp((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t stride = 40;  // 308 bits rounded up to whole 32-bit words
  const std::size_t pixels = 14 + 40 + 8;
  ASSERT_EQ(bmp.size(), pixels + stride * 87);

  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(Read32(bmp, 2), bmp.size());  // bfSize
  EXPECT_EQ(Read32(bmp, 10), pixels);     // bfOffBits
  EXPECT_EQ(Read32(bmp, 14), 40u);        // biSize
  EXPECT_EQ(Read32(bmp, 18), 308u);       // biWidth
  EXPECT_EQ(Read32(bmp, 22), 87u);        // biHeight, positive: bottom-up
  EXPECT_EQ(Read16(bmp, 26), 1u);         // biPlanes
  EXPECT_EQ(Read16(bmp, 28), 1u);         // biBitCount
  EXPECT_EQ(Read32(bmp, 30), 0u);         // biCompression: BI_RGB
  const std::uint32_t colours = Read32(bmp, 46);
  EXPECT_TRUE(colours == 0 || colours == 2) << colours;  // biClrUsed
  const std::vector<unsigned char> palette(bmp.begin() + 54, bmp.begin() + 62);
  EXPECT_EQ(palette, (std::vector<unsigned char>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}));

  // Black letters on white: the corners are white and some of the picture is black.
  const auto pixel = [&](std::size_t x, std::size_t rowFromBottom) {
    return (bmp[pixels + rowFromBottom * stride + x / 8] >> (7 - x % 8)) & 1;
  };
  EXPECT_EQ(pixel(0, 0), 1);
  EXPECT_EQ(pixel(307, 86), 1);
  std::size_t black = 0;
  for (std::size_t y = 0; y < 87; ++y) {
    for (std::size_t x = 0; x < 308; ++x) black += pixel(x, y) == 0;
  }
  EXPECT_GT(black, 308u * 87 / 20);
  EXPECT_LT(black, 308u * 87 / 2);
}

}  // namespace
