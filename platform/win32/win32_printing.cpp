#include <windows.h>

#include "platform/printing.h"
#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

HDC Dc(platform::DeviceContextRef dc) { return reinterpret_cast<HDC>(dc); }
platform::DeviceContextRef Ref(HDC dc) { return reinterpret_cast<platform::DeviceContextRef>(dc); }

}  // namespace

int Printing::GetBitmapObject(platform::BitmapRef bitmap, platform::BitmapRecord* record) {
  BITMAP info;
  ZeroMemory(&info, sizeof info);
  const int stored = ::GetObjectA(reinterpret_cast<HBITMAP>(bitmap), sizeof info, &info);
  if (stored == 0) return 0;
  record->type = info.bmType;
  record->width = info.bmWidth;
  record->height = info.bmHeight;
  record->widthBytes = info.bmWidthBytes;
  record->planes = info.bmPlanes;
  record->bitsPerPixel = info.bmBitsPixel;
  return stored;
}

platform::DeviceContextRef Printing::CreateCompatibleDc(platform::DeviceContextRef reference) {
  return Ref(::CreateCompatibleDC(Dc(reference)));
}

platform::BitmapRef Printing::SelectBitmap(platform::DeviceContextRef dc, platform::BitmapRef bitmap) {
  return reinterpret_cast<platform::BitmapRef>(::SelectObject(Dc(dc), reinterpret_cast<HGDIOBJ>(bitmap)));
}

platform::DeviceContextRef Printing::CreateDc(const char* driver, const char* device, const char* port,
                                              const void* deviceMode) {
  return Ref(::CreateDCA(driver, device, port, static_cast<const DEVMODEA*>(deviceMode)));
}

int Printing::StartDocument(platform::DeviceContextRef dc, const platform::DocumentInfo& info) {
  DOCINFOA document;
  ZeroMemory(&document, sizeof document);
  document.cbSize = sizeof document;
  document.lpszDocName = info.documentName;
  document.lpszOutput = info.output;
  document.lpszDatatype = info.datatype;
  document.fwType = info.type;
  return ::StartDocA(Dc(dc), &document);
}

int Printing::StartPage(platform::DeviceContextRef dc) { return ::StartPage(Dc(dc)); }

int Printing::DrawTextInRect(platform::DeviceContextRef dc, const char* text, int length, const platform::Rect& rectangle,
                       std::uint32_t format) {
  RECT area = {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
  return ::DrawTextA(Dc(dc), text, length, &area, format);
}

bool Printing::BitBlt(platform::DeviceContextRef dc, int x, int y, int width, int height,
                      platform::DeviceContextRef source, int sourceX, int sourceY, std::uint32_t rasterOperation) {
  return ::BitBlt(Dc(dc), x, y, width, height, Dc(source), sourceX, sourceY, rasterOperation) != FALSE;
}

bool Printing::TextOutAt(platform::DeviceContextRef dc, int x, int y, const char* text, int length) {
  return ::TextOutA(Dc(dc), x, y, text, length) != FALSE;
}

int Printing::EndPage(platform::DeviceContextRef dc) { return ::EndPage(Dc(dc)); }

int Printing::EndDoc(platform::DeviceContextRef dc) { return ::EndDoc(Dc(dc)); }

bool Printing::DeleteDc(platform::DeviceContextRef dc) { return ::DeleteDC(Dc(dc)) != FALSE; }

}  // namespace win32
