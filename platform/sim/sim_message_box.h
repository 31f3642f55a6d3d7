// The simulated message box: records every text shown, in order.
#pragma once

#include <functional>
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
    owners.push_back(owner);
    trace_.push_back(std::string("MessageBox ") + text);
    if (onShow) onShow(text);
  }
  void SetOwner(platform::WindowRef window) override { owner = window; }

  std::vector<std::string> shown;
  // The owner of each box shown, in order, and the owner of the next one.
  std::vector<platform::WindowRef> owners;
  platform::WindowRef owner = 0;
  // Runs while a box is open, as the user's look at the program behind it.
  std::function<void(const std::string&)> onShow;

 private:
  Trace& trace_;
};

}  // namespace sim
