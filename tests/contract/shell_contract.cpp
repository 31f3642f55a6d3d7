// Starting a system program through the shell and waiting for it, as the spooler's restart does.
#include <string>

#include "contract_machine.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace contract {
namespace {

// The program with arguments that end it at once, hidden.
platform::ShellExecuteRecord QuickProgram(const std::string& program, std::uint32_t mask) {
  platform::ShellExecuteRecord record;
  record.mask = mask;
  record.verb = "open";
  record.file = program.c_str();
  record.parameters = "/c exit 0";
  record.show = platform::kShowHide;
  return record;
}

TEST_P(ShellContract, ExecuteExWithNoCloseProcessGivesAProcessToWaitFor) {
  const std::string program = platform::SystemProgramPath(*services().system, "cmd");
  const platform::ProcessRef process =
      services().shell->ExecuteEx(QuickProgram(program, platform::kSeeMaskNoCloseProcess));
  ASSERT_NE(process, 0u);
  services().shell->WaitForProcess(process);
  services().shell->CloseProcess(process);
}

// Without SEE_MASK_NOCLOSEPROCESS the program runs, and there is no process to wait for.
TEST_P(ShellContract, ExecuteExWithoutNoCloseProcessGivesNoProcess) {
  const std::string program = platform::SystemProgramPath(*services().system, "cmd");
  EXPECT_EQ(services().shell->ExecuteEx(QuickProgram(program, 0)), 0u);
}

}  // namespace
}  // namespace contract
