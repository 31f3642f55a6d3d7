// The simulated shell: records every launch and wait; the system's "net" command stops and
// starts the simulated spooler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/sim_system.h"

namespace sim {

struct Launch {
  bool waitable = false;  // started with ShellExecuteExA
  std::uint32_t mask = 0;
  platform::WindowRef window = 0;
  std::string verb;
  std::string file;
  std::string parameters;
  bool directoryNull = true;
  int show = 0;
  platform::ProcessRef process = 0;
};

class SimShell : public platform::IShell {
 public:
  SimShell(SimSystem& system, SimSpooler& spooler, Faults& faults, Trace& trace);

  void Execute(platform::WindowRef window, const char* verb, const char* file, const char* parameters,
               const char* directory, int show) override;
  platform::ProcessRef ExecuteEx(const platform::ShellExecuteRecord& record) override;
  void WaitForProcess(platform::ProcessRef process) override;
  void CloseProcess(platform::ProcessRef process) override;

  std::vector<Launch> launches;
  int openProcesses = 0;

 private:
  void Run(const Launch& launch);

  SimSystem& system_;
  SimSpooler& spooler_;
  Faults& faults_;
  Trace& trace_;
  platform::ProcessRef nextProcess_ = 0x7000;
};

}  // namespace sim
