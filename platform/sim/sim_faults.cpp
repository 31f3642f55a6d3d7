#include "platform/sim/sim_faults.h"

namespace sim {

void Faults::Fail(const std::string& call, std::uint32_t error, int times) {
  rules_[call] = Rule{error, 0, times};
}

void Faults::FailAfter(const std::string& call, int skip, std::uint32_t error) {
  rules_[call] = Rule{error, skip, 1};
}

void Faults::Clear(const std::string& call) { rules_.erase(call); }

bool Faults::ShouldFail(const std::string& call, std::uint32_t* error) {
  auto found = rules_.find(call);
  if (found == rules_.end()) return false;
  Rule& rule = found->second;
  if (rule.skip > 0) {
    --rule.skip;
    return false;
  }
  if (rule.times == 0) return false;
  if (rule.times > 0) --rule.times;
  *error = rule.error;
  return true;
}

}  // namespace sim
