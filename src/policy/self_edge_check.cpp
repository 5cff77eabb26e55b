#include "policy/self_edge_check.h"

namespace kelmor {

bool SelfEdgeCheck::chooseStart(const SolidView& solid, StartPositions) {
  for (size_t e = 0; vertex_ < 0 && e < solid.edgeA.size() && e < solid.edgeB.size(); ++e)
    if (solid.edgeA[e] == solid.edgeB[e]) vertex_ = solid.edgeA[e];
  return false;
}

ButtonSet SelfEdgeCheck::press(std::string& reason) {
  if (vertex_ < 0) return 0;
  if (!said_) {
    reason = "An edge joins vertex " + std::to_string(vertex_) +
             " to itself (a face names it twice in a row; two commas in a row read as vertex 0): it can "
             "never reach unit length, so there is no exact solution to find; quitting the run";
    said_ = true;
  }
  return QuitButton;
}

}  // namespace kelmor
