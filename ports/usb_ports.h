// USB printer port discovery: the spooler port names (USB001, ...) of the present USB printers
// of the allowed vendors.
#pragma once

#include "platform/platform.h"
#include "ports/port_list.h"

// Appends the port names of the present USB printer interfaces of the allowed vendors; false when
// there is no device information set or an interface's detail cannot be read.
bool EnumUsbPrinterPorts(platform::Platform& machine, CStringArray& ports);
