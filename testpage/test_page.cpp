#include "testpage/test_page.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/printing.h"
#include "platform/system.h"

namespace {

// Positions in the printer's device units, from the top left of the printable area.
constexpr platform::Rect kTextRectangle{10, 10, 400, 500};
constexpr int kTitleX = 30;
constexpr int kTitleY = 20;
constexpr int kNameX = 10;
constexpr int kNameY = 430;
constexpr int kTimeX = -20;
constexpr int kTimeY = 500;
constexpr int kDashX = -20;
constexpr int kDashY = 800;
constexpr char kDashLine[] = "----------------------------";

int Length(const char* text) { return static_cast<int>(std::strlen(text)); }

// The page's date and time line: the year unpadded, the other fields two digits.
std::string TimeLine(const platform::SystemTime& time) {
  char line[64];
  std::snprintf(line, sizeof line, "  %d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                time.minute, time.second);
  return line;
}

// Draws the page's elements in order: the text, the title bitmap over its top, the printer's name,
// the local time and the dash line.
void DrawPage(platform::Platform& machine, platform::DeviceContextRef printer, platform::DeviceContextRef title,
              const platform::BitmapRecord& titleSize, const char* printerName, const char* pageText) {
  platform::IPrinting& gdi = *machine.printing;
  gdi.DrawTextInRect(printer, pageText, Length(pageText), kTextRectangle, platform::kDrawTextNoClip);
  gdi.BitBlt(printer, kTitleX, kTitleY, titleSize.width, titleSize.height, title, 0, 0, platform::kRasterSourceCopy);
  gdi.TextOutAt(printer, kNameX, kNameY, printerName, Length(printerName));
  const std::string time = TimeLine(machine.system->LocalTime());
  gdi.TextOutAt(printer, kTimeX, kTimeY, time.c_str(), static_cast<int>(time.size()));
  gdi.TextOutAt(printer, kDashX, kDashY, kDashLine, Length(kDashLine));
}

}  // namespace

void PrintTestPage(platform::Platform& machine, const char* printerName, platform::BitmapRef titleBitmap,
                   const char* pageText) {
  if (printerName == nullptr) return;
  if (pageText == nullptr) pageText = "";
  platform::IPrinting& gdi = *machine.printing;

  platform::BitmapRecord titleSize;
  gdi.GetBitmapObject(titleBitmap, &titleSize);
  // Compatible with the screen: it is made before the printer is opened.
  const platform::DeviceContextRef title = gdi.CreateCompatibleDc(0);
  gdi.SelectBitmap(title, titleBitmap);

  const platform::DeviceContextRef printer = gdi.CreateDc(nullptr, printerName, nullptr, nullptr);
  // A printer that cannot be opened gets no document: there is no device context to start one on.
  if (printer != 0) {
    platform::DocumentInfo document;
    document.documentName = printerName;
    gdi.StartDocument(printer, document);
    gdi.StartPage(printer);
    DrawPage(machine, printer, title, titleSize, printerName, pageText);
    gdi.EndPage(printer);
    gdi.EndDoc(printer);
  }

  gdi.DeleteDc(title);
  if (printer != 0) gdi.DeleteDc(printer);
}
