// The check that quits a repeat run whose solid has an edge from a vertex to itself.
#include "policy/self_edge_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmor {
namespace {

// Feeds the check a solid with the given edges and returns what it presses (and says).
ButtonSet Pressed(const std::vector<int>& a, const std::vector<int>& b, std::string& reason) {
  SelfEdgeCheck check;
  SolidView solid;
  solid.edgeA = a;
  solid.edgeB = b;
  std::vector<double> x(8), y(8), z(8);
  EXPECT_FALSE(check.chooseStart(solid, StartPositions{x, y, z}));  // never places a start
  return check.press(reason);
}

TEST(SelfEdgeCheck, QuitsOnASelfEdgeWhereverItIsAndNamesItsVertex) {
  struct Case {
    const char* what;
    std::vector<int> a, b;
    int vertex;  // -1: no self-edge, nothing pressed
  } cases[] = {
      {"the first edge", {0, 1, 2}, {0, 2, 3}, 0},
      {"a middle edge", {1, 4, 2}, {2, 4, 3}, 4},
      {"the last edge", {1, 2, 6}, {2, 3, 6}, 6},
      {"the first of two", {3, 5}, {3, 5}, 3},
      {"none", {1, 2, 3}, {2, 3, 1}, -1},
      {"no edges", {}, {}, -1},
  };
  for (const Case& c : cases) {
    std::string reason;
    const ButtonSet pressed = Pressed(c.a, c.b, reason);
    if (c.vertex < 0) {
      EXPECT_EQ(pressed, 0u) << c.what;
      EXPECT_EQ(reason, "") << c.what;
    } else {
      EXPECT_EQ(pressed, QuitButton) << c.what;
      EXPECT_EQ(reason.rfind("An edge joins vertex " + std::to_string(c.vertex) + " to itself", 0), 0u)
          << c.what << ": " << reason;
    }
  }
}

// The reason is said once; the check goes on pressing Quit until the run ends.
TEST(SelfEdgeCheck, SaysWhyOnceAndKeepsQuitting) {
  SelfEdgeCheck check;
  const std::vector<int> a = {2, 1}, b = {2, 3};
  SolidView solid;
  solid.edgeA = a;
  solid.edgeB = b;
  std::vector<double> x(4), y(4), z(4);
  check.chooseStart(solid, StartPositions{x, y, z});
  std::string first, second;
  EXPECT_EQ(check.press(first), QuitButton);
  EXPECT_EQ(check.press(second), QuitButton);
  EXPECT_NE(first.find("quitting the run"), std::string::npos) << first;
  EXPECT_EQ(second, "");
}

}  // namespace
}  // namespace kelmor
