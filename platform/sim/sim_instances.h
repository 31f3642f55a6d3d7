// The simulated machine's running copies of the program: this copy's mark, and how many other
// copies a test says are running.
#pragma once

#include <string>

#include "platform/instances.h"
#include "platform/sim/sim_faults.h"

namespace sim {

class SimInstances : public platform::IProgramInstances {
 public:
  explicit SimInstances(Trace& trace) : trace_(trace) {}

  void Register(const char* name) override {
    trace_.push_back(std::string("CreateMutexA ") + name);
    registered = name;
  }
  bool ReleaseAndCheckLast(const char* name) override {
    trace_.push_back(std::string("ReleaseMutexMark ") + name);
    if (registered != name) return false;
    registered.clear();
    return otherCopies == 0;
  }

  std::string registered;  // the name this copy holds, empty when none
  int otherCopies = 0;     // other copies holding the name

 private:
  Trace& trace_;
};

}  // namespace sim
