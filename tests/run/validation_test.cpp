#include "run/validation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kelmor {
namespace {

std::string Outcome(const std::optional<std::string>& e) { return e ? *e : "OK"; }

std::string Check(const std::function<void(RunOptions&)>& change) {
  RunOptions o;
  change(o);
  return Outcome(ValidateRunOptions(o));
}

RunOptions LocalDiagonal(int option) {
  RunOptions o;
  o.InflateOption = 3;
  o.LocalOption = option;
  return o;
}

TEST(RunOptionsValidation, DesignDefaultsPass) {
  EXPECT_EQ(Check([](RunOptions&) {}), "OK");
  EXPECT_EQ(Outcome(ValidateSegmentOptions(RunOptions{})), "OK");
}

TEST(RunOptionsValidation, InflationAndGlobalLimit) {
  EXPECT_EQ(Check([](RunOptions& o) { o.InflateOption = -1; }), "Error: You must choose an inflation option");
  EXPECT_EQ(Check([](RunOptions& o) { o.GlobLim = "1"; }), "OK");
  EXPECT_EQ(Check([](RunOptions& o) { o.GlobLim = "0.9"; }), "Error: Global Limit must be >= 1");
  EXPECT_EQ(Check([](RunOptions& o) { o.GlobLim = "abc"; }), "Error: Global Limit must be >= 1");
  EXPECT_EQ(Check([](RunOptions& o) { o.GlobLim = "1e999"; }), "OK");  // the run reports the overflow
  // The limit is read only for global inflation.
  EXPECT_EQ(Check([](RunOptions& o) { o.InflateOption = 1; o.GlobLim = "0"; }), "OK");
}

TEST(RunOptionsValidation, LocalDiagonalOptions) {
  struct Case {
    int option;
    std::function<void(RunOptions&)> change;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {-1, [](RunOptions&) {}, "Error: With Local Diagonal inflation you must choose a local inflation option"},
      {0, [](RunOptions&) {}, "Error: Local Inflation Minimum must be > 0"},
      {0, [](RunOptions& o) { o.LocInfMin1 = "0.2"; }, "OK"},
      {1, [](RunOptions& o) { o.LocInfMin1 = "0.5"; o.LocInfMax1 = "0.5"; },
       "Error: Local Inflation Maximum must be > Minimum"},
      {1, [](RunOptions& o) { o.LocInfMin2 = "5"; }, "OK"},  // star fields unread
      {2, [](RunOptions& o) { o.LocInfMin1 = "1"; }, "Error: Local Inflation Minimum for Star Faces must be > 0"},
      {2, [](RunOptions& o) { o.LocInfMin1 = "1"; o.LocInfMin2 = "1"; }, "OK"},
      {2, [](RunOptions& o) { o.LocInfMin1 = o.LocInfMin2 = o.LocInfMin3 = "1"; },
       "Error: Selected Faces n/d must be > 0"},
      {2, [](RunOptions& o) { o.LocInfMin1 = o.LocInfMin2 = "1"; o.SelectFace = "5/2"; },
       "Error: Local Inflation Minimum for Selected Faces must be > 0"},
      {2, [](RunOptions& o) { o.LocInfMin1 = o.LocInfMin2 = o.LocInfMin3 = "1"; o.SelectFace = "5/2"; }, "OK"},
      {3, [](RunOptions& o) { o.LocInfMin2 = "1"; }, "Error: Local Inflation for Star Faces Maximum must be > Minimum"},
      {3, [](RunOptions& o) { o.SelectFace = "6"; o.LocInfMin3 = "2"; },
       "Error: Local Inflation for Selected Faces Maximum must be > Minimum"},
      {3, [](RunOptions& o) { o.SelectFace = "6"; o.LocInfMin3 = "-2"; o.LocInfMax3 = "-1"; },
       "Error: Local Inflation Maximum for Selected Faces must be > 0"},
      {3, [](RunOptions& o) { o.LocInfMin3 = "2"; }, "OK"},  // no selected face: set 3 unread
      {3, [](RunOptions& o) { o.LocInfMin1 = "2"; }, "Error: Local Inflation Maximum must be > Minimum"},
  };
  for (const Case& c : cases) {
    RunOptions o = LocalDiagonal(c.option);
    c.change(o);
    EXPECT_EQ(Outcome(ValidateRunOptions(o)), c.expected) << "local option " << c.option;
  }
}

TEST(RunOptionsValidation, BandWeakenAndAugment) {
  EXPECT_EQ(Check([](RunOptions& o) { o.BandLen = "0"; }), "Error: Band Length must be > 0");
  EXPECT_EQ(Check([](RunOptions& o) { o.BandLen = "0"; o.BandframeEnabled = false; }), "OK");
  EXPECT_EQ(Check([](RunOptions& o) { o.Weaken = 1; o.WeakenLimit = "2"; }), "Error: Weaken limit must be >=3");
  EXPECT_EQ(Check([](RunOptions& o) { o.Weaken = 1; o.WeakenLimit = "3"; }), "OK");
  EXPECT_EQ(Check([](RunOptions& o) { o.WeakenLimit = "2"; }), "OK");
  EXPECT_EQ(Check([](RunOptions& o) { o.Weaken = 2; o.WeakenLimit = "2"; }), "OK");  // greyed is not ticked

  auto augment = [](RunOptions& o) {
    o.Augment = 1;
    o.AugmentOption = 1;
    o.AugmentColour = 0;
  };
  EXPECT_EQ(Check([&](RunOptions& o) { augment(o); }), "OK");  // "5/2" reads as 5
  EXPECT_EQ(Check([&](RunOptions& o) { augment(o); o.AugmentVal = "0/2"; }), "Error: Augmented Side n/d must be > 0");
  EXPECT_EQ(Check([&](RunOptions& o) { augment(o); o.AugmentOption = -1; }), "Error: You must choose an Augment Option");
  EXPECT_EQ(Check([&](RunOptions& o) { augment(o); o.AugmentColour = -1; }), "Error: You must choose an Augment Colour");
  // First failure wins: the band length comes before weakening and augmentation.
  EXPECT_EQ(Check([&](RunOptions& o) { augment(o); o.AugmentColour = -1; o.Weaken = 1; o.WeakenLimit = "1"; o.BandLen = ""; }),
            "Error: Band Length must be > 0");
}

TEST(SegmentOptionsValidation, EveryRowInOrder) {
  RunOptions o;
  o.SegEdge[1] = "0";  // a zero length passes; the run uses a tiny length
  EXPECT_EQ(Outcome(ValidateSegmentOptions(o)), "OK");
  o.SegEdge[1] = "-1";
  EXPECT_EQ(Outcome(ValidateSegmentOptions(o)), "Error: Segment 1 edge length must be >= 0");
  o.SegEdge[1] = "1";
  o.SegEdge[5] = "-0.5";  // rows the count hides are checked too
  EXPECT_EQ(Outcome(ValidateSegmentOptions(o)), "Error: Segment 5 edge length must be >= 0");
  o.SegEdge[2] = "1,5";
  EXPECT_EQ(Outcome(ValidateSegmentOptions(o)),
            "Error: Segment 2 edge length must not contain a comma; use a full stop as decimal point");
  o.SegEdge[2] = "-1,5";  // the sign is tested first
  EXPECT_EQ(Outcome(ValidateSegmentOptions(o)), "Error: Segment 2 edge length must be >= 0");
}

}  // namespace
}  // namespace kelmor
