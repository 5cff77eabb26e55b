// The model tables: limits raise error 9 whatever has been held, rows not yet held read
// as the initial value, and rows never move while the table grows (references into a
// table stay good, as the engine's code relies on).
#include "model/table.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/error.h"

namespace kelmor {
namespace {

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const KelmorError& e) {
    return e.code();
  }
  return 0;
}

TEST(Table, LimitsHoldForHeldAndUnheldRowsAlike) {
  Table<int> t(10, 7);
  const Table<int>& c = t;
  Table2<int> t2(10, 3, 7);
  const Table2<int>& c2 = t2;
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"row -1", [&] { t[-1] = 1; }},
      {"row 11", [&] { t[11] = 1; }},
      {"const row 11", [&] { (void)c[11]; }},
      {"const row -1", [&] { (void)c[-1]; }},
      {"2D row 11", [&] { t2(11, 0) = 1; }},
      {"2D column 4", [&] { t2(0, 4) = 1; }},
      {"2D column -1", [&] { (void)c2(0, -1); }},
      {"2D const row 11", [&] { (void)c2(11, 3); }},
      {"2D const raw row 11", [&] { (void)c2.row(11); }},
      {"hold past the limit", [&] { t.hold(11); }},
  };
  for (const auto& [name, access] : cases) EXPECT_EQ(ErrorOf(access), ErrSubscript) << name;
  // The last rows inside the limit are fine, held or not.
  EXPECT_EQ(c[10], 7);
  EXPECT_EQ(c2(10, 3), 7);
  t[10] = 1;
  t2(10, 3) = 1;
  EXPECT_EQ(t.maxRow(), 10);
  EXPECT_EQ(t2.maxRow(), 10);
  EXPECT_EQ(t2.maxCol(), 3);
}

TEST(Table, RowsNotHeldReadAsTheInitialValueAndCostNothing) {
  Table<std::string> t(3000, "x");
  const Table<std::string>& c = t;
  EXPECT_EQ(c[2999], "x");
  EXPECT_EQ(t.heldRows(), 0);  // reading through a const table holds nothing
  t[4] = "four";
  EXPECT_EQ(t.heldRows(), 5);
  EXPECT_EQ(c[3], "x");
  EXPECT_EQ(c[4], "four");
  t.fill("");  // held and unheld rows alike
  EXPECT_EQ(c[4], "");
  EXPECT_EQ(c[2000], "");
  t.resize(3000, "y");
  EXPECT_EQ(t.heldRows(), 0);
  EXPECT_EQ(c[4], "y");

  Table2<int> t2(3000, 40, -1);
  const Table2<int>& c2 = t2;
  EXPECT_EQ(c2.row(2500)[40], -1);
  t2(2, 5) = 9;
  EXPECT_EQ(t2.heldRows(), 3);
  EXPECT_EQ(c2(1, 40), -1);
  EXPECT_EQ(c2(2, 5), 9);
  t2.fill(0);
  EXPECT_EQ(c2(2, 5), 0);
  EXPECT_EQ(c2(2999, 0), 0);
}

TEST(Table, RowsStayPutWhileTheTableGrowsAndInCopies) {
  Table<double> t(3000, 0.0);
  double& first = t[0];
  first = 1.5;
  for (int i = 1; i <= 3000; ++i) t[i] = i;  // grows row by row to the limit
  EXPECT_EQ(&first, &t[0]);
  EXPECT_EQ(first, 1.5);
  // An assignment whose right side is a row that is about to be joined by new rows.
  Table<std::string> s(100);
  s[0] = "kept";
  s[99] = s[0];
  EXPECT_EQ(s[99], "kept");

  Table<double> copy(t);
  EXPECT_EQ(copy.maxRow(), 3000);
  EXPECT_EQ(copy[3000], 3000.0);
  Table<double> small(5, 2.0);
  small[1] = 3.0;
  Table<double> grown = small;
  double& one = grown[1];
  grown[5] = 4.0;
  EXPECT_EQ(&one, &grown[1]);
  EXPECT_EQ(grown[1], 3.0);
  EXPECT_EQ(grown[4], 2.0);
  EXPECT_EQ(small.heldRows(), 2);  // the original is untouched

  Table2<int> t2(3000, 40, 0);
  int* row1 = t2.row(1);
  row1[3] = 8;
  t2(3000, 40) = 1;
  EXPECT_EQ(row1, t2.row(1));
  EXPECT_EQ(t2(1, 3), 8);
  Table2<int> copy2 = t2;
  EXPECT_EQ(copy2(1, 3), 8);
  EXPECT_EQ(copy2(3000, 40), 1);
}

}  // namespace
}  // namespace kelmor
