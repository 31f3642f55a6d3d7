// Failure injection and the record of calls shared by the parts of a simulated machine.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

// Calls that are to fail, by their Windows name ("AddPrinterA", "RegOpenKeyExA", ...).
class Faults {
 public:
  // Makes `call` fail with `error`: for its next `times` calls, or for every call when times < 0.
  void Fail(const std::string& call, std::uint32_t error, int times = -1);
  // Makes `call` fail once, after it has succeeded `skip` times.
  void FailAfter(const std::string& call, int skip, std::uint32_t error);
  // Lets `call` succeed again.
  void Clear(const std::string& call);
  // True when `call` is to fail now; then *error is its error code. Counts the call.
  bool ShouldFail(const std::string& call, std::uint32_t* error);

 private:
  struct Rule {
    std::uint32_t error = 0;
    int skip = 0;
    int times = -1;
  };
  std::map<std::string, Rule> rules_;
};

// The calls that changed the machine or that a test wants in order, one line each,
// such as "Sleep 111" or "AddPrinterA printer RT5140 USB001".
using Trace = std::vector<std::string>;

}  // namespace sim
