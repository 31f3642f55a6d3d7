#include "platform/win32/win32_dialog.h"
#include "platform/win32/win32_services.h"

namespace win32 {

platform::Platform& MachinePlatform() {
  static System system;
  static Registry registry;
  static Spooler spooler;
  static FileSystem files;
  static Shell shell;
  static StandardMessageBox messages;
  static DeviceInterfaces devices;
  static Printing printing;
  static DialogRunner dialogs;
  static Resources resources;
  static ProgramInstances instances;
  static platform::Platform machine = [] {
    platform::Platform record;
    record.system = &system;
    record.registry = &registry;
    record.spooler = &spooler;
    record.files = &files;
    record.shell = &shell;
    record.messages = &messages;
    record.devices = &devices;
    record.printing = &printing;
    record.dialogs = &dialogs;
    record.resources = &resources;
    record.instances = &instances;
    return record;
  }();
  return machine;
}

}  // namespace win32
