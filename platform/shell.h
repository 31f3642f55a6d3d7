// Starting programs through the shell, and waiting for them.
#pragma once

#include "platform/types.h"

namespace platform {

// The SHELLEXECUTEINFOA fields the logic sets; every other field is zero.
struct ShellExecuteRecord {
  std::uint32_t mask = 0;  // 0x40: SEE_MASK_NOCLOSEPROCESS
  WindowRef window = 0;
  const char* verb = nullptr;
  const char* file = nullptr;
  const char* parameters = nullptr;
  const char* directory = nullptr;
  int show = kShowHide;
};

constexpr std::uint32_t kSeeMaskNoCloseProcess = 0x40;

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecuteA(window, verb, file, parameters, directory, show); nothing waits for the program.
  virtual void Execute(WindowRef window, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show) = 0;
  // ShellExecuteExA with the record: the started process (its hProcess), or 0 when none started.
  virtual ProcessRef ExecuteEx(const ShellExecuteRecord& record) = 0;
  // WaitForSingleObject(process, INFINITE); returns at once for 0.
  virtual void WaitForProcess(ProcessRef process) = 0;
  // CloseHandle on the process; nothing for 0.
  virtual void CloseProcess(ProcessRef process) = 0;
};

}  // namespace platform
