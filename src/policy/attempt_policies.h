#pragma once

#include <memory>
#include <string>
#include <vector>

#include "policy/attempt_policy.h"

namespace kelmor {

// The policies of one run, in the order they were added, heard as one: each is told of
// every attempt and every figure; the first that asks for buttons, puts starting
// positions or knows how the attempt started is the one that counts.
class AttemptPolicies : public AttemptPolicy {
 public:
  // The list owns the policy; returns it for the caller to keep an eye on.
  AttemptPolicy& add(std::unique_ptr<AttemptPolicy> policy);
  bool empty() const { return list_.empty(); }

  void attemptStarted(int attempt) override;
  void figures(const DrawFigures& figures) override;
  ButtonSet press(std::string& reason) override;
  bool chooseStart(const SolidView& solid, StartPositions positions) override;
  std::string startOrigin() const override;

 private:
  std::vector<std::unique_ptr<AttemptPolicy>> list_;
};

// An attempt whose forces overflow is dropped and the next one started, until `limit`
// attempts in a row have overflowed; the run's error handler then takes the overflow,
// so a model that overflows every time still ends.
class OverflowRetry {
 public:
  static constexpr int DefaultLimit = 10;
  explicit OverflowRetry(int limit = DefaultLimit) : limit_(limit) {}
  // Attempt `attempt` overflowed: true when the next one should start (say so with
  // Reason), false when the handler takes it.
  bool retry(int attempt);
  static std::string Reason(int attempt);

 private:
  int limit_;
  int inARow_ = 0;
  int lastAttempt_ = -1;
};

}  // namespace kelmor
