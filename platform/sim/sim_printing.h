// The simulated graphics device interface: bitmaps the test makes, memory and printer device
// contexts, and the documents printed, each with its name and every drawing call of its pages.
// Printers are opened through the simulated spooler, which knows which of them exist.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/printing.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/sim_system.h"

namespace sim {

// A document as the spooler received it.
struct SimDocument {
  std::string printer;
  std::string name;
  bool outputNull = true;
  bool datatypeNull = true;
  std::uint32_t type = 0;
  int pagesStarted = 0;
  int pagesEnded = 0;
  bool ended = false;
  std::vector<std::string> drawing;  // the drawing calls made inside its pages, as in the trace
};

class SimPrinting : public platform::IPrinting {
 public:
  SimPrinting(SimSystem& system, SimSpooler& spooler, Faults& faults, Trace& trace);

  int GetBitmapObject(platform::BitmapRef bitmap, platform::BitmapRecord* record) override;
  platform::DeviceContextRef CreateCompatibleDc(platform::DeviceContextRef reference) override;
  platform::BitmapRef SelectBitmap(platform::DeviceContextRef dc, platform::BitmapRef bitmap) override;
  platform::DeviceContextRef CreateDc(const char* driver, const char* device, const char* port,
                                      const void* deviceMode) override;
  int StartDocument(platform::DeviceContextRef dc, const platform::DocumentInfo& info) override;
  int StartPage(platform::DeviceContextRef dc) override;
  int DrawTextInRect(platform::DeviceContextRef dc, const char* text, int length, const platform::Rect& rectangle,
               std::uint32_t format) override;
  bool BitBlt(platform::DeviceContextRef dc, int x, int y, int width, int height, platform::DeviceContextRef source,
              int sourceX, int sourceY, std::uint32_t rasterOperation) override;
  bool TextOutAt(platform::DeviceContextRef dc, int x, int y, const char* text, int length) override;
  int EndPage(platform::DeviceContextRef dc) override;
  int EndDoc(platform::DeviceContextRef dc) override;
  bool DeleteDc(platform::DeviceContextRef dc) override;

  // A bitmap of that size, as LoadBitmapA would give one; the trace names it by its size.
  platform::BitmapRef AddBitmap(int width, int height, int bitsPerPixel = 1);
  // The device contexts made and not yet deleted.
  std::size_t OpenDeviceContexts() const { return contexts_.size(); }

  std::vector<SimDocument> documents;

 private:
  struct Context {
    bool memory = false;
    std::string printer;
    platform::BitmapRef selected = 0;
    int document = -1;  // index into documents while one is open
    bool inPage = false;
  };

  bool Fails(const char* call);
  Context* Find(platform::DeviceContextRef dc);
  std::string Describe(platform::DeviceContextRef dc);
  std::string DescribeBitmap(platform::BitmapRef bitmap) const;
  // Records a drawing call in the trace and, inside a page, in the document.
  void RecordDrawing(Context* context, const std::string& line);

  SimSystem& system_;
  SimSpooler& spooler_;
  Faults& faults_;
  Trace& trace_;
  std::map<platform::BitmapRef, platform::BitmapRecord> bitmaps_;
  std::map<platform::DeviceContextRef, Context> contexts_;
  platform::BitmapRef nextBitmap_ = 0x7000;
  platform::DeviceContextRef nextContext_ = 0x9000;
  platform::BitmapRef stockBitmap_ = 0;
  int nextJob_ = 1;
};

}  // namespace sim
