#include "platform/sim/sim_machine.h"

#include <unistd.h>

namespace sim {

std::filesystem::path NewMachineFolder() {
  static int count = 0;
  return std::filesystem::current_path() / "sim-machines" /
         (std::to_string(::getpid()) + "-" + std::to_string(++count));
}

SimMachine::SimMachine()
    : system(faults, trace),
      registry(faults, trace),
      files(NewMachineFolder(), system, faults, trace),
      spooler(system, files, registry, faults, trace),
      shell(system, spooler, faults, trace),
      messages(trace),
      devices(system, faults, trace),
      printing(system, spooler, faults, trace),
      resources(system, faults, trace),
      instances(trace) {
  platform_.system = &system;
  platform_.registry = &registry;
  platform_.spooler = &spooler;
  platform_.files = &files;
  platform_.shell = &shell;
  platform_.messages = &messages;
  platform_.dialogs = &dialogs;
  platform_.devices = &devices;
  platform_.printing = &printing;
  platform_.resources = &resources;
  platform_.instances = &instances;
}

std::vector<std::string> SimMachine::TraceOf(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : trace) {
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  }
  return lines;
}

}  // namespace sim
