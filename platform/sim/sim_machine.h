// A whole simulated Windows machine for host tests: every platform service, sharing one record
// of calls and one set of injected failures.
#pragma once

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_devices.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_instances.h"
#include "platform/sim/sim_message_box.h"
#include "platform/sim/sim_printing.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_resources.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/sim_system.h"

namespace sim {

class SimMachine {
 public:
  // A machine whose drives live in a fresh folder below the current directory.
  SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // The platform record through which the logic reaches this machine.
  platform::Platform& platform() { return platform_; }

  // The trace lines that start with `prefix`, in order.
  std::vector<std::string> TraceOf(const std::string& prefix) const;

  Faults faults;
  Trace trace;
  SimSystem system;
  SimRegistry registry;
  SimFileSystem files;
  SimSpooler spooler;
  SimShell shell;
  SimMessageBox messages;
  SimDialogRunner dialogs;
  SimDevices devices;
  SimPrinting printing;
  SimResources resources;
  SimInstances instances;

 private:
  platform::Platform platform_;
};

// A folder for one machine's drives, unique within this process and below the current directory.
std::filesystem::path NewMachineFolder();

}  // namespace sim
