#include <gtest/gtest.h>

#include <random>

#include "topology/topology.h"
#include "topology_rig.h"

namespace kelmor::testing {
namespace {

constexpr int Rows = MaxHopVertex + 1;

// The hop rule exactly as stated, sweep by sweep over every ordered pair: the reference
// the frontier build must match entry for entry.
std::vector<float> PlainHopDistances(const Run& run) {
  const Model& m = run.model;
  const EdgeTable& t = run.edges;
  std::vector<float> hop(static_cast<size_t>(Rows) * Rows, 0.0f);
  auto H = [&](int a, int b) -> float& { return hop[static_cast<size_t>(a) * Rows + b]; };
  for (int e = 1; e <= t.EdgeTotal; ++e) {
    H(t.EdgeEnds(e, 1), t.EdgeEnds(e, 2)) = static_cast<float>(t.EdgeTarget[e]);
    H(t.EdgeEnds(e, 2), t.EdgeEnds(e, 1)) = static_cast<float>(t.EdgeTarget[e]);
  }
  for (int i = 1; i <= m.DigonCount; ++i) {
    int a = m.FaceVertex(m.PolygonCount + i, 1), b = m.FaceVertex(m.PolygonCount + i, 2);
    H(a, b) = H(b, a) = 1.0f;
  }
  for (int h = 1; h <= 30; ++h)
    for (int a = m.MinVertex; a <= m.MaxVertex; ++a)
      for (int b = m.MinVertex; b <= m.MaxVertex; ++b)
        if (H(a, b) > h - 0.99 && H(a, b) < h + 0.01)
          for (int i = 1; i <= t.VertexDegree[b]; ++i) {
            int c = t.Neighbour(b, i);
            if (H(a, c) == 0) H(a, c) = H(c, a) = static_cast<float>(h + 1);
          }
  for (int i = 1; i <= m.DigonCount; ++i) {
    int a = m.FaceVertex(m.PolygonCount + i, 1), b = m.FaceVertex(m.PolygonCount + i, 2);
    H(a, b) = H(b, a) = static_cast<float>(run.edges.BandLength);
  }
  return hop;
}

// Tidy-up, edges and adjacency; then the hop distances of global inflation.
void Hops(TopologyRig& rig) {
  TidyFaces(rig.run);
  BuildEdgeTable(rig.run);
  BuildAdjacency(rig.run);
  rig.run.infl.InflateMode = 1;
  BuildHopDistances(rig.run);
}

void ExpectSameAsPlainRule(TopologyRig& rig) {
  Hops(rig);
  const auto plain = PlainHopDistances(rig.run);
  const Model& m = rig.run.model;
  int nonzero = 0, mismatches = 0;
  for (int a = m.MinVertex; a <= m.MaxVertex; ++a)
    for (int b = m.MinVertex; b <= m.MaxVertex; ++b) {
      float want = plain[static_cast<size_t>(a) * Rows + b];
      nonzero += want != 0;
      if (rig.run.infl.Hop(a, b) != want && ++mismatches <= 5)
        ADD_FAILURE() << "HopDistance(" << a << ", " << b << ") = " << rig.run.infl.Hop(a, b)
                      << ", the rule gives " << want;
    }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(nonzero, 0);
}

TEST(HopDistances, CubeGivesOneTwoThreeAndTwoForItself) {
  TopologyRig rig(CubeFaces());
  Hops(rig);
  const InflationState& in = rig.run.infl;
  EXPECT_EQ(in.Hop(0, 1), 1.0f);  // edge
  EXPECT_EQ(in.Hop(0, 5), 2.0f);  // face diagonal
  EXPECT_EQ(in.Hop(0, 7), 3.0f);  // opposite corner
  EXPECT_EQ(in.Hop(0, 0), 2.0f);
  for (int a = 0; a <= 7; ++a)
    for (int b = 0; b <= 7; ++b) {
      float h = in.Hop(a, b);
      EXPECT_TRUE(h == 1 || h == 2 || h == 3) << a << "," << b;
      EXPECT_EQ(h, in.Hop(b, a));
    }
}

TEST(HopDistances, SquareRootHop) {
  TopologyRig rig(PrismFaces(8, 1));  // vertices 1 and 5 are opposite: 4 hops
  Hops(rig);
  EXPECT_EQ(rig.run.infl.Hop(1, 5), 4.0f);
  EXPECT_EQ(rig.run.infl.Hop(1, 13), 5.0f);
  rig.session.options.SqrtMult = "1";
  ApplySqrtHop(rig.run);
  EXPECT_EQ(rig.run.infl.Hop(1, 5), 2.0f);
  EXPECT_EQ(rig.run.infl.Hop(1, 2), 1.0f);
  EXPECT_FLOAT_EQ(rig.run.infl.Hop(1, 13), std::sqrt(5.0f));
}

TEST(HopDistances, SquareRootHopWithoutGlobalInflation) {
  TopologyRig rig(CubeFaces());
  rig.session.options.SqrtMult = "3";
  rig.run.infl.InflateMode = 0;
  ApplySqrtHop(rig.run);  // the table exists and stays empty
  EXPECT_EQ(rig.run.infl.Hop(0, 1), 0.0f);
}

TEST(HopDistances, CubeMatchesTheRule) {
  TopologyRig rig(CubeFaces());
  ExpectSameAsPlainRule(rig);
}

TEST(HopDistances, PentagramPrismMatchesTheRule) {
  // Star faces: ring edges of 0.618 count as one hop, chords join the ring too.
  TopologyRig rig(PrismFaces(5, 2));
  ExpectSameAsPlainRule(rig);
  EXPECT_NEAR(rig.run.infl.Hop(1, 2), 0.618034f, 1e-6);  // ring neighbours after the tidy-up
}

TEST(HopDistances, BandsMatchTheRuleAndAreLogged) {
  // A long prism with edge-only faces across it: the bands shorten the hop counts
  // near their ends, then take the band length.
  auto faces = PrismFaces(24, 1);
  faces.push_back(Face{{1, 13}, 1, {}});
  faces.push_back(Face{{7, 43}, 1, {}});
  faces.push_back(Face{{2, 3}, 1, {}});  // a band over an edge
  TopologyRig rig(faces);
  rig.run.edges.BandLength = 2.5;
  rig.DebugOn();
  ExpectSameAsPlainRule(rig);
  EXPECT_EQ(rig.run.infl.Hop(1, 13), 2.5f);
  EXPECT_EQ(rig.run.infl.Hop(13, 1), 2.5f);
  EXPECT_EQ(rig.run.infl.Hop(2, 13), 2.0f);  // a neighbour of 1 is two hops from 13
  EXPECT_EQ(rig.run.infl.Hop(2, 14), 3.0f);
  EXPECT_EQ(rig.DebugLinesStarting("Band found"),
            (std::vector<std::string>{"Band found between vertices  1  and  13 ",
                                      "Band found between vertices  7  and  43 ",
                                      "Band found between vertices  2  and  3 "}));
}

TEST(HopDistances, LargerModelMatchesTheRule) {
  // A torus long enough for pairs beyond 31 hops, with star faces, a face whose ring
  // target is 0 ({5/5}), and bands at random.
  auto faces = TorusFaces(4, 70);
  const int base = 4 * 70;
  faces.push_back(Face{{base, base + 1, base + 2, base + 3, base + 4}, 2, {}});
  faces.push_back(Face{
      {base + 5, base + 6, base + 7, base + 8, base + 9, base + 10, base + 11, base + 12}, 3, {}});
  faces.push_back(Face{{base + 13, base + 14, base + 15, base + 16, base + 17}, 5, {}});
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> pick(0, base + 17);
  for (int i = 0; i < 12; ++i) faces.push_back(Face{{pick(rng), pick(rng)}, 1, {}});
  TopologyRig rig(faces);
  rig.run.edges.BandLength = 0.5;
  ExpectSameAsPlainRule(rig);
}

TEST(HopDistances, MinVertexAboveZero) {
  auto faces = TorusFaces(5, 6);
  for (auto& f : faces)
    for (int& v : f.vertices) v += 40;
  TopologyRig rig(faces);
  ExpectSameAsPlainRule(rig);
}

TEST(HopDistances, VertexAbove1500IsOutOfRange) {
  TopologyRig rig({Face{{1499, 1500, 1501}, 1, {}}});
  TidyFaces(rig.run);
  BuildEdgeTable(rig.run);
  BuildAdjacency(rig.run);
  try {
    BuildHopDistances(rig.run);
    FAIL() << "no error";
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrSubscript);
  }
}

TEST(InflationOptions, ModesLimitAndBandLength) {
  TopologyRig rig(CubeFaces());
  RunOptions& o = rig.session.options;
  const std::pair<int, int> modes[] = {{0, 1}, {1, 0}, {2, 3}, {3, 4}};
  for (auto [option, mode] : modes) {
    o.InflateOption = option;
    ReadInflationOptions(rig.run);
    EXPECT_EQ(rig.run.infl.InflateMode, mode);
    EXPECT_EQ(rig.run.infl.D4Factor, mode >= 3 ? 10 : 1);
  }
  o.GlobLim = "2.5";
  o.BandLen = "3";
  ReadInflationOptions(rig.run);
  EXPECT_EQ(rig.run.infl.GlobalLimit, 2);    // halves to even
  EXPECT_EQ(rig.run.edges.BandLength, 1.0);  // no bands in a cube
  rig.run.model.DigonCount = 1;
  ReadInflationOptions(rig.run);
  EXPECT_EQ(rig.run.edges.BandLength, 3.0);
}

TEST(InflationOptions, LocalOptionsReadOnlyInLocalDiagonal) {
  TopologyRig rig(CubeFaces());
  RunOptions& o = rig.session.options;
  InflationState& in = rig.run.infl;
  o.LocInfMin1 = "0.5", o.LocInfMax1 = "0.75", o.LocInfMin2 = "1.5", o.LocInfMax2 = "2";
  o.LocInfMin3 = "3", o.LocInfMax3 = "4", o.SelectFace = "5/2";
  o.InflateOption = 0;
  o.LocalOption = 3;
  ReadInflationOptions(rig.run);
  EXPECT_EQ(in.LocalOption, 1);
  EXPECT_EQ(in.SelectedN, 0);

  o.InflateOption = 3;
  o.LocalOption = 0;
  ReadInflationOptions(rig.run);
  EXPECT_EQ(in.LocalModeCode, 0.5);
  EXPECT_EQ(in.LocalTarget, 0.5);
  EXPECT_EQ(in.SelectedN, 5);
  EXPECT_EQ(in.SelectedD, 2);
  o.LocalOption = 1;
  ReadInflationOptions(rig.run);
  EXPECT_EQ(in.LocalModeCode, 2);
  EXPECT_EQ(in.LocalMin, 0.5);
  EXPECT_EQ(in.LocalMax, 0.75);
  o.LocalOption = 2;
  ReadInflationOptions(rig.run);
  EXPECT_EQ(in.LocalModeCode, 3);
  EXPECT_EQ(in.StarTarget, 1.5);
  EXPECT_EQ(in.SelectedTarget, 3);
  o.LocalOption = 3;
  ReadInflationOptions(rig.run);
  EXPECT_EQ(in.LocalModeCode, 5);
  EXPECT_EQ(in.StarMin, 1.5);
  EXPECT_EQ(in.StarMax, 2);
  EXPECT_EQ(in.SelectedMin, 3);
  EXPECT_EQ(in.SelectedMax, 4);
}

class AttemptTest : public ::testing::Test {
 protected:
  AttemptTest() {
    TidyFaces(rig.run);
    BuildEdgeTable(rig.run);
    BuildAdjacency(rig.run);
    rig.run.rng.seed(5);
  }
  void Options(int localOption, const char* min1, const char* max1) {
    RunOptions& o = rig.session.options;
    o.InflateOption = 3;
    o.LocalOption = localOption;
    o.LocInfMin1 = min1, o.LocInfMax1 = max1;
    o.LocInfMin2 = "0.25", o.LocInfMax2 = "0.25", o.LocInfMin3 = "2", o.LocInfMax3 = "2";
    ReadInflationOptions(rig.run);
  }
  TopologyRig rig{CubeFaces()};
};

TEST_F(AttemptTest, RangeDrawsAFreshTargetEachAttempt) {
  Options(1, "0.5", "1.5");
  PrepareAttemptInflation(rig.run);
  double first = rig.run.infl.LocalTarget;
  PrepareAttemptInflation(rig.run);
  double second = rig.run.infl.LocalTarget;
  EXPECT_GE(first, 0.5);
  EXPECT_LT(first, 1.5);
  EXPECT_GE(second, 0.5);
  EXPECT_NE(first, second);
}

TEST_F(AttemptTest, DifferentialRangeWithEqualBoundsIsFixed) {
  Options(3, "0.75", "0.75");
  for (int attempt = 0; attempt < 3; ++attempt) {
    PrepareAttemptInflation(rig.run);
    EXPECT_EQ(rig.run.infl.LocalTarget, 0.75);
    EXPECT_EQ(rig.run.infl.StarTarget, 0.25);
    EXPECT_EQ(rig.run.infl.SelectedTarget, 2);
  }
}

TEST_F(AttemptTest, ValueFiveIsAValueNotARange) {
  Options(0, "5", "9");
  PrepareAttemptInflation(rig.run);
  EXPECT_EQ(rig.run.infl.LocalTarget, 5);
}

TEST_F(AttemptTest, TrimRestoreResetAndDebugLines) {
  Options(1, "0", "1");
  rig.DebugOn();
  Model& m = rig.run.model;
  m.MaxVertex = 10;  // 8..10 have no edges
  rig.run.infl.InflateMode = 0;
  rig.run.infl.SavedInflateMode = 4;
  rig.run.relax.EdgeDeform = 1.5;
  rig.run.relax.PolyDeformPrev = 0.5;
  rig.run.infl.D4Factor = 1;
  PrepareAttemptInflation(rig.run);
  EXPECT_EQ(m.MaxVertex, 7);
  EXPECT_EQ(rig.run.infl.InflateMode, 4);
  EXPECT_EQ(rig.run.infl.D4Factor, 10);
  EXPECT_EQ(rig.run.relax.EdgeDeform, 999);
  EXPECT_EQ(rig.run.relax.PolyDeform, 999);
  EXPECT_EQ(rig.run.relax.EdgeDeformPrev, 999);
  EXPECT_EQ(rig.run.relax.PolyDeformPrev, 999);
  EXPECT_EQ(rig.DebugLines(),
            (std::vector<std::string>{"expand : 4 ", "expold : 4 ", "minvert : 0 ", "maxvert : 7 ",
                                      "d4fac : 10 "}));
}

TEST_F(AttemptTest, GlobalModeIsNotRestoredFromASavedGlobal) {
  rig.run.infl.InflateMode = 1;
  rig.run.infl.SavedInflateMode = 1;
  PrepareAttemptInflation(rig.run);
  EXPECT_EQ(rig.run.infl.InflateMode, 1);
  EXPECT_EQ(rig.run.infl.D4Factor, 1);
}

}  // namespace
}  // namespace kelmor::testing
