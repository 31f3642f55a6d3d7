// The simulated message box: records every text shown, in order.
#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/sim/sim_faults.h"

namespace sim {

class SimMessageBox : public platform::IMessageBox {
 public:
  explicit SimMessageBox(Trace& trace) : trace_(trace) {}
  void Show(const char* text) override {
    shown.emplace_back(text);
    trace_.push_back(std::string("MessageBox ") + text);
  }

  std::vector<std::string> shown;

 private:
  Trace& trace_;
};

}  // namespace sim
