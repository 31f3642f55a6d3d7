// Printing through the graphics device interface: device contexts, bitmaps, one document of
// pages, and the drawing calls the test page makes.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// The fields of a BITMAP record (the bits pointer left out).
struct BitmapRecord {
  std::int32_t type = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t widthBytes = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitsPerPixel = 0;
};

// DOCINFOA without its size, which the back-end fills with the record's size (20 bytes in the
// 32-bit program).
struct DocumentInfo {
  const char* documentName = nullptr;
  const char* output = nullptr;
  const char* datatype = nullptr;
  std::uint32_t type = 0;
};

// RECT.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

constexpr std::uint32_t kDrawTextNoClip = 0x100;    // DT_NOCLIP
constexpr std::uint32_t kRasterSourceCopy = 0xCC0020;  // SRCCOPY

class IPrinting {
 public:
  virtual ~IPrinting() = default;
  // GetObjectA(bitmap, sizeof(BITMAP) (24 bytes in the 32-bit program), &record): the bytes
  // stored, 0 when the bitmap is no bitmap (the record is then left as it was).
  virtual int GetBitmapObject(BitmapRef bitmap, BitmapRecord* record) = 0;
  // CreateCompatibleDC(reference): a memory device context, 0 on failure; no reference means
  // compatible with the screen.
  virtual DeviceContextRef CreateCompatibleDc(DeviceContextRef reference) = 0;
  // SelectObject(dc, bitmap): the bitmap that was selected before, 0 on failure.
  virtual BitmapRef SelectBitmap(DeviceContextRef dc, BitmapRef bitmap) = 0;
  // CreateDCA(driver, device, port, deviceMode): a device context, 0 when the device cannot be
  // opened (a printer that does not exist, a spooler that does not run).
  virtual DeviceContextRef CreateDc(const char* driver, const char* device, const char* port,
                                    const void* deviceMode) = 0;
  // StartDocA(dc, info): the job's id, or 0 or less on failure.
  virtual int StartDocument(DeviceContextRef dc, const DocumentInfo& info) = 0;
  // StartPage(dc): greater than 0 on success.
  virtual int StartPage(DeviceContextRef dc) = 0;
  // DrawTextA(dc, text, length, rectangle, format): the height of the text drawn, 0 on failure.
  virtual int DrawTextInRect(DeviceContextRef dc, const char* text, int length, const Rect& rectangle,
                       std::uint32_t format) = 0;
  // BitBlt(dc, x, y, width, height, source, sourceX, sourceY, rasterOperation).
  virtual bool BitBlt(DeviceContextRef dc, int x, int y, int width, int height, DeviceContextRef source,
                      int sourceX, int sourceY, std::uint32_t rasterOperation) = 0;
  // TextOutA(dc, x, y, text, length).
  virtual bool TextOutAt(DeviceContextRef dc, int x, int y, const char* text, int length) = 0;
  // EndPage(dc): greater than 0 on success.
  virtual int EndPage(DeviceContextRef dc) = 0;
  // EndDoc(dc): greater than 0 on success.
  virtual int EndDoc(DeviceContextRef dc) = 0;
  // DeleteDC(dc).
  virtual bool DeleteDc(DeviceContextRef dc) = 0;
};

}  // namespace platform
