#include "platform/sim/sim_shell.h"

namespace sim {

namespace {

std::string Text(const char* text) { return text == nullptr ? std::string() : std::string(text); }

}  // namespace

SimShell::SimShell(SimSystem& system, SimSpooler& spooler, Faults& faults, Trace& trace)
    : system_(system), spooler_(spooler), faults_(faults), trace_(trace) {}

// Only the system's own net.exe, named by its full path, reaches the spooler.
void SimShell::Run(const Launch& launch) {
  if (launch.file != system_.systemDirectory + "\\net.exe") return;
  if (launch.parameters == "stop spooler") spooler_.SetRunning(false);
  if (launch.parameters == "start spooler") spooler_.SetRunning(true);
}

void SimShell::Execute(platform::WindowRef window, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show) {
  trace_.push_back("ShellExecuteA " + Text(file) + " " + Text(parameters));
  Launch launch{false, 0, window, Text(verb), Text(file), Text(parameters), directory == nullptr, show, 0};
  launches.push_back(launch);
  std::uint32_t error = 0;
  if (faults_.ShouldFail("ShellExecuteA", &error)) return;
  Run(launch);
}

platform::ProcessRef SimShell::ExecuteEx(const platform::ShellExecuteRecord& record) {
  trace_.push_back("ShellExecuteExA " + Text(record.file) + " " + Text(record.parameters));
  Launch launch{true,         record.mask, record.window, Text(record.verb), Text(record.file),
                Text(record.parameters), record.directory == nullptr, record.show, 0};
  std::uint32_t error = 0;
  if (faults_.ShouldFail("ShellExecuteExA", &error)) {
    system_.SetLastError(error);
    launches.push_back(launch);
    return 0;
  }
  Run(launch);
  if (record.mask & platform::kSeeMaskNoCloseProcess) {
    launch.process = nextProcess_++;
    ++openProcesses;
  }
  launches.push_back(launch);
  return launch.process;
}

void SimShell::WaitForProcess(platform::ProcessRef process) {
  trace_.push_back("WaitForSingleObject " + std::to_string(process));
}

void SimShell::CloseProcess(platform::ProcessRef process) {
  trace_.push_back("CloseHandle " + std::to_string(process));
  if (process != 0) --openProcesses;
}

}  // namespace sim
