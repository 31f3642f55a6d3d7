#include "platform/win32/win32_services.h"

namespace win32 {

platform::Platform& MachinePlatform() {
  static System system;
  static Registry registry;
  static Spooler spooler;
  static FileSystem files;
  static Shell shell;
  static StandardMessageBox messages;
  static Resources resources;
  static platform::Platform machine = [] {
    platform::Platform record;
    record.system = &system;
    record.registry = &registry;
    record.spooler = &spooler;
    record.files = &files;
    record.shell = &shell;
    record.messages = &messages;
    record.resources = &resources;
    return record;
  }();
  return machine;
}

}  // namespace win32
