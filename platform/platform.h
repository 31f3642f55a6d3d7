// The services of one machine, as the installer's logic reaches them.
#pragma once

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"

namespace platform {

class IDeviceInterfaces;  // platform/devices.h: present device interfaces (SetupAPI)
class IPrinting;          // platform/printing.h: printing through the graphics device interface
class IResources;         // platform/resources.h: the program's own resources
class IProgramInstances;  // platform/instances.h: copies of the program running at once
class IDialogRunner;      // platform/dialog.h: modal runs of the program's dialog templates

// Every member is set by the back-end that builds the record (platform/win32 or platform/sim).
struct Platform {
  ISystem* system = nullptr;
  IRegistry* registry = nullptr;
  ISpooler* spooler = nullptr;
  IFileSystem* files = nullptr;
  IShell* shell = nullptr;
  IMessageBox* messages = nullptr;
  IDeviceInterfaces* devices = nullptr;
  IPrinting* printing = nullptr;
  IResources* resources = nullptr;
  IProgramInstances* instances = nullptr;
  IDialogRunner* dialogs = nullptr;
};

}  // namespace platform
