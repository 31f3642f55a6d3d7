// Serial and parallel port enumeration from the hardware device map.
#pragma once

#include "platform/platform.h"
#include "ports/port_list.h"

// Appends "COMn:" for every value of the serial device map.
void EnumSerialPorts(platform::Platform& machine, CStringArray& ports);

// Appends "LPTn:" for every value of the parallel device map.
void EnumParallelPorts(platform::Platform& machine, CStringArray& ports);
