// Port preparation: a serial port's line settings, a Standard TCP/IP port, the spooler restart.
#pragma once

#include "platform/platform.h"

// Writes the port's line settings "<baud>,n,8,1,p"; true when the value was written.
bool SetSerialPortSettings(platform::Platform& machine, const char* portName, const char* baudText);

// Registers the Standard TCP/IP port "IP_[address]" and restarts the spooler.
void AddTcpIpPort(platform::Platform& machine, const char* address);

// Stops the spooler, waits, pauses 20 ms, starts it and waits.
void RestartSpooler(platform::Platform& machine);
