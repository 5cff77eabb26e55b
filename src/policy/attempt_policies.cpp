#include "policy/attempt_policies.h"

namespace kelmor {

AttemptPolicy& AttemptPolicies::add(std::unique_ptr<AttemptPolicy> policy) {
  list_.push_back(std::move(policy));
  return *list_.back();
}

void AttemptPolicies::attemptStarted(int attempt) {
  for (auto& p : list_) p->attemptStarted(attempt);
}

void AttemptPolicies::figures(const DrawFigures& figures) {
  for (auto& p : list_) p->figures(figures);
}

ButtonSet AttemptPolicies::press(std::string& reason) {
  for (auto& p : list_)
    if (ButtonSet pressed = p->press(reason)) return pressed;
  return 0;
}

bool AttemptPolicies::chooseStart(const SolidView& solid, StartPositions positions) {
  for (auto& p : list_)
    if (p->chooseStart(solid, positions)) return true;
  return false;
}

std::string AttemptPolicies::startOrigin() const {
  for (const auto& p : list_)
    if (std::string origin = p->startOrigin(); !origin.empty()) return origin;
  return {};
}

bool OverflowRetry::retry(int attempt) {
  if (limit_ <= 0) return false;
  inARow_ = attempt == lastAttempt_ + 1 ? inARow_ + 1 : 1;
  lastAttempt_ = attempt;
  return inARow_ < limit_;
}

std::string OverflowRetry::Reason(int attempt) {
  return "Error: Overflow.  Try reducing some Force Strengths (attempt " + std::to_string(attempt) +
         " dropped, starting the next)";
}

}  // namespace kelmor
