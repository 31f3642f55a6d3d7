#include "platform/sim/sim_printing.h"

#include <cstdio>
#include <strings.h>

#include "platform/types.h"

namespace sim {

namespace {

constexpr int kSpoolError = -1;  // SP_ERROR

std::string Quoted(const char* text, int length) {
  if (text == nullptr) return "null";
  return "\"" + std::string(text, length < 0 ? 0 : static_cast<std::size_t>(length)) + "\"";
}

std::string Quoted(const char* text) { return text == nullptr ? "null" : "\"" + std::string(text) + "\""; }

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

}  // namespace

SimPrinting::SimPrinting(SimSystem& system, SimSpooler& spooler, Faults& faults, Trace& trace)
    : system_(system), spooler_(spooler), faults_(faults), trace_(trace) {
  stockBitmap_ = AddBitmap(1, 1);
}

bool SimPrinting::Fails(const char* call) {
  std::uint32_t error = 0;
  if (!faults_.ShouldFail(call, &error)) return false;
  system_.SetLastError(error);
  return true;
}

SimPrinting::Context* SimPrinting::Find(platform::DeviceContextRef dc) {
  auto found = contexts_.find(dc);
  return found == contexts_.end() ? nullptr : &found->second;
}

std::string SimPrinting::Describe(platform::DeviceContextRef dc) {
  if (dc == 0) return "0";
  const Context* context = Find(dc);
  if (context == nullptr) return "unknown";
  return context->memory ? "memory" : "printer";
}

std::string SimPrinting::DescribeBitmap(platform::BitmapRef bitmap) const {
  auto found = bitmaps_.find(bitmap);
  if (found == bitmaps_.end()) return bitmap == 0 ? "0" : "unknown";
  return "bitmap " + std::to_string(found->second.width) + "x" + std::to_string(found->second.height);
}

platform::BitmapRef SimPrinting::AddBitmap(int width, int height, int bitsPerPixel) {
  platform::BitmapRecord record;
  record.width = width;
  record.height = height;
  record.widthBytes = (width * bitsPerPixel + 15) / 16 * 2;
  record.planes = 1;
  record.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  bitmaps_[nextBitmap_] = record;
  return nextBitmap_++;
}

int SimPrinting::GetBitmapObject(platform::BitmapRef bitmap, platform::BitmapRecord* record) {
  trace_.push_back("GetObjectA " + DescribeBitmap(bitmap));
  if (Fails("GetObjectA")) return 0;
  auto found = bitmaps_.find(bitmap);
  if (found == bitmaps_.end()) return 0;
  *record = found->second;
  return 24;
}

platform::DeviceContextRef SimPrinting::CreateCompatibleDc(platform::DeviceContextRef reference) {
  trace_.push_back("CreateCompatibleDC " + Describe(reference));
  if (Fails("CreateCompatibleDC")) return 0;
  if (reference != 0 && Find(reference) == nullptr) return 0;
  Context context;
  context.memory = true;
  context.selected = stockBitmap_;
  contexts_[nextContext_] = context;
  return nextContext_++;
}

platform::BitmapRef SimPrinting::SelectBitmap(platform::DeviceContextRef dc, platform::BitmapRef bitmap) {
  trace_.push_back("SelectObject " + Describe(dc) + " " + DescribeBitmap(bitmap));
  Context* context = Find(dc);
  if (context == nullptr || !context->memory || bitmaps_.count(bitmap) == 0) return 0;
  const platform::BitmapRef previous = context->selected;
  context->selected = bitmap;
  return previous;
}

platform::DeviceContextRef SimPrinting::CreateDc(const char* driver, const char* device, const char* port,
                                                 const void* deviceMode) {
  trace_.push_back("CreateDCA " + Quoted(driver) + " " + Quoted(device) + " " + Quoted(port) + " " +
                   (deviceMode == nullptr ? "null" : "devmode"));
  if (Fails("CreateDCA")) return 0;
  if (driver != nullptr && strcasecmp(driver, "WINSPOOL") != 0) {
    system_.SetLastError(platform::kErrorInvalidParameter);
    return 0;
  }
  if (!spooler_.running || device == nullptr || spooler_.Printer(device) == nullptr) {
    system_.SetLastError(platform::kErrorInvalidPrinterName);
    return 0;
  }
  Context context;
  context.printer = spooler_.Printer(device)->name;
  contexts_[nextContext_] = context;
  return nextContext_++;
}

int SimPrinting::StartDocument(platform::DeviceContextRef dc, const platform::DocumentInfo& info) {
  trace_.push_back("StartDocA " + Describe(dc) + " " + Quoted(info.documentName) + " " + Quoted(info.output) +
                   " " + Quoted(info.datatype) + " " + std::to_string(info.type));
  if (Fails("StartDocA")) return kSpoolError;
  Context* context = Find(dc);
  if (context == nullptr || context->memory || context->document >= 0) return kSpoolError;
  SimDocument document;
  document.printer = context->printer;
  document.name = info.documentName == nullptr ? "" : info.documentName;
  document.outputNull = info.output == nullptr;
  document.datatypeNull = info.datatype == nullptr;
  document.type = info.type;
  documents.push_back(document);
  context->document = static_cast<int>(documents.size()) - 1;
  return nextJob_++;
}

int SimPrinting::StartPage(platform::DeviceContextRef dc) {
  trace_.push_back("StartPage " + Describe(dc));
  if (Fails("StartPage")) return kSpoolError;
  Context* context = Find(dc);
  if (context == nullptr || context->document < 0 || context->inPage) return kSpoolError;
  context->inPage = true;
  ++documents[context->document].pagesStarted;
  return 1;
}

void SimPrinting::RecordDrawing(Context* context, const std::string& line) {
  trace_.push_back(line);
  if (context != nullptr && context->inPage) documents[context->document].drawing.push_back(line);
}

int SimPrinting::DrawTextInRect(platform::DeviceContextRef dc, const char* text, int length, const platform::Rect& r,
                          std::uint32_t format) {
  Context* context = Find(dc);
  RecordDrawing(context, "DrawTextA " + Describe(dc) + " " + std::to_string(length) + " {" + std::to_string(r.left) +
                             "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                             std::to_string(r.bottom) + "} " + Hex(format) + " " + Quoted(text, length));
  if (context == nullptr || text == nullptr) return 0;
  return 16;
}

bool SimPrinting::BitBlt(platform::DeviceContextRef dc, int x, int y, int width, int height,
                         platform::DeviceContextRef source, int sourceX, int sourceY, std::uint32_t rasterOperation) {
  Context* context = Find(dc);
  Context* from = Find(source);
  const std::string sourceText =
      from == nullptr ? Describe(source) : Describe(source) + "(" + DescribeBitmap(from->selected) + ")";
  RecordDrawing(context, "BitBlt " + Describe(dc) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                             std::to_string(width) + " " + std::to_string(height) + " " + sourceText + " " +
                             std::to_string(sourceX) + " " + std::to_string(sourceY) + " " + Hex(rasterOperation));
  return context != nullptr && from != nullptr;
}

bool SimPrinting::TextOutAt(platform::DeviceContextRef dc, int x, int y, const char* text, int length) {
  Context* context = Find(dc);
  RecordDrawing(context, "TextOutA " + Describe(dc) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                             std::to_string(length) + " " + Quoted(text, length));
  return context != nullptr && text != nullptr;
}

int SimPrinting::EndPage(platform::DeviceContextRef dc) {
  trace_.push_back("EndPage " + Describe(dc));
  Context* context = Find(dc);
  if (context == nullptr || !context->inPage) return kSpoolError;
  context->inPage = false;
  ++documents[context->document].pagesEnded;
  return 1;
}

int SimPrinting::EndDoc(platform::DeviceContextRef dc) {
  trace_.push_back("EndDoc " + Describe(dc));
  Context* context = Find(dc);
  if (context == nullptr || context->document < 0) return kSpoolError;
  documents[context->document].ended = true;
  context->document = -1;
  context->inPage = false;
  return 1;
}

bool SimPrinting::DeleteDc(platform::DeviceContextRef dc) {
  trace_.push_back("DeleteDC " + Describe(dc));
  return contexts_.erase(dc) == 1;
}

}  // namespace sim
