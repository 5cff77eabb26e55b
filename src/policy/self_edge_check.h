#pragma once

#include <string>

#include "policy/attempt_policy.h"

namespace kelmor {

// Repeat mode writes exact solutions only, and an edge that joins a vertex to itself can
// never reach its length, so with no stop rule such a run would go on for ever. (Two
// delimiters in a row read an empty number, vertex 0: a stray letter standing alone, as in
// "1,5,4,0,t,-1,", gives one.) Seen in the first solid offered to it, the check quits the
// run and says why.
class SelfEdgeCheck : public AttemptPolicy {
 public:
  bool chooseStart(const SolidView& solid, StartPositions positions) override;
  ButtonSet press(std::string& reason) override;

 private:
  int vertex_ = -1;
  bool said_ = false;
};

}  // namespace kelmor
