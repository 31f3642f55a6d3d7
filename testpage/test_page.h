// The test page printed on a newly created printer.
#pragma once

#include "platform/platform.h"
#include "platform/types.h"

// Prints one page with the text, the title bitmap, the printer's name, the local time and a dash
// line on the named printer, as one document named after the printer. Nothing is reported.
void PrintTestPage(platform::Platform& machine, const char* printerName, platform::BitmapRef titleBitmap,
                   const char* pageText);
