// Symmetric starts from the topology: exact placements where the spectrum holds one,
// invariance under renumbering, and the search policy that hands them to the attempts.
#include "search/spectral_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <regex>
#include <sstream>

#include "policy/spectral_search.h"

namespace kelmor {
namespace {

// The faces of an input file (vertex numbers, a negative number closing a face with its
// step); edges join neighbours in the listed order, which for the star faces of the hard
// examples (written in outline order) are the star's own edges.
SolidGraph GraphFromFile(const std::string& name) {
  std::ifstream in(std::string(KELMOR_SOURCE_DIR) + "/examples/" + name);
  EXPECT_TRUE(in) << name;
  std::string text, line;
  while (std::getline(in, line)) text += line.substr(0, line.find('\'')) + "\n";
  text = text.substr(text.find('{') + 1);
  text = text.substr(0, text.find('}'));
  SolidGraph g;
  std::vector<int> face;
  const std::regex number("-?[0-9]+");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it) {
    const int n = std::stoi(it->str());
    if (n >= 0) {
      face.push_back(n);
      g.vertexCount = std::max(g.vertexCount, n + 1);
      continue;
    }
    for (size_t i = 0; i < face.size(); ++i) {
      int a = face[i], b = face[(i + 1) % face.size()];
      g.edges.push_back({std::min(a, b), std::max(a, b)});
    }
    g.faces.push_back(face);
    g.steps.push_back(-n);
    face.clear();
  }
  std::sort(g.edges.begin(), g.edges.end());
  g.edges.erase(std::unique(g.edges.begin(), g.edges.end()), g.edges.end());
  return g;
}

double Distance(const Point3& a, const Point3& b) {
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

double WorstEdge(const SolidGraph& g, const std::vector<Point3>& at) {
  double worst = 0;
  for (const auto& [a, b] : g.edges) worst = std::max(worst, std::abs(Distance(at[a], at[b]) - 1));
  return worst;
}

// The same solid with its vertices renumbered by a seeded shuffle.
SolidGraph Renumbered(const SolidGraph& g, unsigned seed) {
  std::vector<int> to(static_cast<size_t>(g.vertexCount));
  std::iota(to.begin(), to.end(), 0);
  std::shuffle(to.begin(), to.end(), std::mt19937(seed));
  SolidGraph r = g;
  for (auto& face : r.faces)
    for (int& v : face) v = to[static_cast<size_t>(v)];
  for (auto& [a, b] : r.edges) a = to[static_cast<size_t>(a)], b = to[static_cast<size_t>(b)];
  std::reverse(r.edges.begin(), r.edges.end());
  return r;
}

TEST(SpectralCandidates, TheBestCandidateSolvesSolidsWithAnExactSymmetricPlacement) {
  struct Case {
    const char* file;
    double worstEdge;  // of the best candidate, edges scaled to mean 1
    bool coincident;   // its vertices fall together in pairs
  };
  // The great dirhombicosidodecahedron's topology has more symmetry than the solid: its
  // single eigenspaces place its 60 vertices on 30 points; two of them turned into each
  // other place it exactly.
  for (const Case& c : {Case{"hard/great_dirhombicosidodecahedron.txt", 1e-9, false},
                        Case{"hard/great_rhombicosidodecahedron.txt", 1e-9, false},
                        Case{"cube.txt", 1e-9, false}, Case{"icosidodecahedron.txt", 1e-9, false},
                        Case{"truncated_icosahedron.txt", 1e-6, false}}) {
    SCOPED_TRACE(c.file);
    const SolidGraph g = GraphFromFile(c.file);
    const auto found = SpectralCandidates(g);
    ASSERT_FALSE(found.empty());
    for (size_t i = 1; i < found.size(); ++i) {
      EXPECT_LE(found[i - 1].coincident, found[i].coincident);
      if (found[i - 1].coincident == found[i].coincident) EXPECT_LE(found[i - 1].spread, found[i].spread);
    }
    EXPECT_LT(WorstEdge(g, found[0].at), c.worstEdge) << found[0].label;
    EXPECT_EQ(found[0].coincident, c.coincident);
    if (std::string(c.file).find("dirhombi") != std::string::npos) {
      EXPECT_EQ(found[0].label.rfind("turned pair ", 0), 0u) << found[0].label;
      EXPECT_TRUE(found.back().coincident);
    }
    for (const auto& cand : found) {
      EXPECT_EQ(cand.coincident, ClosestApproach(g, cand.at) < 0.01) << cand.label;
      Point3 centre{0, 0, 0};
      for (const Point3& p : cand.at)
        for (int k = 0; k < 3; ++k) centre[k] += p[k];
      for (double x : centre) EXPECT_NEAR(x, 0, 1e-9) << cand.label;
    }
  }
}

TEST(SpectralCandidates, TheCubesCandidateIsACube) {
  const SolidGraph g = GraphFromFile("cube.txt");
  const auto found = SpectralCandidates(g);
  ASSERT_FALSE(found.empty());
  // 12 edges of 1, 12 face diagonals of sqrt 2, 4 long diagonals of sqrt 3.
  std::map<long, int> lengths;
  const auto& at = found[0].at;
  for (size_t i = 0; i < at.size(); ++i)
    for (size_t j = i + 1; j < at.size(); ++j) {
      const double d = Distance(at[i], at[j]);
      EXPECT_LT(std::abs(d * d - std::round(d * d)), 1e-9) << d;
      lengths[std::lround(d * d)] += 1;
    }
  EXPECT_EQ(lengths, (std::map<long, int>{{1, 12}, {2, 12}, {3, 4}}));
}

TEST(SpectralCandidates, RenumberingTheVerticesGivesTheSameCandidates) {
  for (const char* file : {"hard/great_rhombicosidodecahedron.txt", "snub_cube.txt"}) {
    SCOPED_TRACE(file);
    const SolidGraph g = GraphFromFile(file);
    const auto first = SpectralCandidates(g);
    const auto again = SpectralCandidates(g);
    ASSERT_EQ(first.size(), again.size());
    for (size_t i = 0; i < first.size(); ++i) {
      EXPECT_EQ(first[i].label, again[i].label);
      EXPECT_EQ(first[i].at, again[i].at);  // deterministic to the bit
    }
    const auto other = SpectralCandidates(Renumbered(g, 7));
    ASSERT_FALSE(other.empty());
    EXPECT_NEAR(other[0].spread, first[0].spread, 1e-6);
  }
}

TEST(SpectralCandidates, NoneForGraphsWithoutAPlacement) {
  SolidGraph empty;
  EXPECT_TRUE(SpectralCandidates(empty).empty());
  SolidGraph triangle{3, {{0, 1, 2}}, {1}, {{0, 1}, {1, 2}, {0, 2}}, {}};
  EXPECT_TRUE(SpectralCandidates(triangle).empty());
  const SolidGraph cube = GraphFromFile("cube.txt");
  EXPECT_TRUE(SpectralCandidates(cube, 0).empty());
  EXPECT_TRUE(SpectralCandidates(cube, 8, 7).empty());  // above the size limit
  EXPECT_EQ(SpectralCandidates(cube, 1).size(), 1u);
}

TEST(SolidGraph, SpreadAndScaleFollowTheEdgeTargets) {
  // A regular pentagram in ring order: ring edges 1/phi of the star edges.
  SolidGraph star;
  star.vertexCount = 5;
  star.faces = {{0, 1, 2, 3, 4}};
  star.steps = {2};
  const double ring = 2 / (1 + std::sqrt(5.0));
  for (int i = 0; i < 5; ++i) {
    star.edges.push_back({i, (i + 1) % 5}), star.targets.push_back(ring);
    star.edges.push_back({i, (i + 2) % 5}), star.targets.push_back(1);
  }
  std::vector<Point3> at;
  for (int i = 0; i < 5; ++i) at.push_back({3 * std::cos(i * 2 * M_PI / 5) + 1, 3 * std::sin(i * 2 * M_PI / 5), 2});
  EXPECT_LT(EdgeSpread(star, at), 1e-12);
  ScaleToUnitEdge(star, at);
  EXPECT_NEAR(Distance(at[0], at[2]), 1, 1e-12);
  EXPECT_NEAR(Distance(at[0], at[1]), ring, 1e-12);
  EXPECT_NEAR(at[0][2] + at[1][2] + at[2][2] + at[3][2] + at[4][2], 0, 1e-12);
  at[1] = at[0];
  EXPECT_GT(EdgeSpread(star, at), 0.1);
  EXPECT_EQ(ClosestApproach(star, at), 0);
  std::vector<Point3> point(5, Point3{1, 1, 1});
  EXPECT_TRUE(std::isinf(EdgeSpread(star, point)));
}

// The engine's view of a solid numbered from 1, with edges between neighbours in a face:
// an octahedron, vertices 1 and 2, 3 and 4, 5 and 6 opposite.
struct OctahedronView {
  std::vector<std::vector<int>> faces{{1, 3, 5}, {3, 2, 5}, {2, 4, 5}, {4, 1, 5},
                                      {3, 1, 6}, {2, 3, 6}, {4, 2, 6}, {1, 4, 6}};
  std::vector<int> faceStart{0}, faceVerts, faceStep{0}, edgeA, edgeB;
  std::vector<double> edgeTarget;
  OctahedronView() {
    for (const auto& f : faces) {
      faceStart.push_back(static_cast<int>(faceVerts.size()));
      faceVerts.insert(faceVerts.end(), f.begin(), f.end());
      faceStep.push_back(1);
      for (size_t i = 0; i < f.size(); ++i) {
        const int a = f[i], b = f[(i + 1) % f.size()];
        if (a > b) continue;  // each edge once: every edge is met both ways
        edgeA.push_back(a), edgeB.push_back(b), edgeTarget.push_back(1);
      }
    }
    faceStart.push_back(static_cast<int>(faceVerts.size()));
  }
  SolidView view() const {
    SolidView v;
    v.vmin = 1, v.vmax = 6, v.faceCount = static_cast<int>(faces.size());
    v.faceStart = faceStart, v.faceVerts = faceVerts, v.faceStep = faceStep;
    v.edgeA = edgeA, v.edgeB = edgeB, v.edgeTarget = edgeTarget;
    return v;
  }
};

TEST(SolidGraph, TheEngineViewIsCountedFromItsFirstVertex) {
  OctahedronView o;
  const SolidGraph g = GraphOf(o.view());
  EXPECT_EQ(g.vertexCount, 6);
  ASSERT_EQ(g.faces.size(), 8u);
  EXPECT_EQ(g.faces[0], (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(g.steps, std::vector<int>(8, 1));
  ASSERT_EQ(g.edges.size(), 12u);
  EXPECT_EQ(g.edges[0], (std::pair<int, int>{0, 2}));
  // Its one candidate is the regular octahedron: opposite vertices sqrt 2 apart.
  const auto found = SpectralCandidates(g);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_LT(WorstEdge(g, found[0].at), 1e-12);
  EXPECT_NEAR(Distance(found[0].at[0], found[0].at[1]), std::sqrt(2.0), 1e-12);
}

// Runs the policy through `attempts` attempt starts after `stalls` stalled attempts, the
// random positions of attempt k being k / 10 for every coordinate.
struct Started {
  std::vector<bool> chosen;
  std::vector<std::string> origins;
  std::vector<std::vector<double>> x;
};
Started RunSearch(SearchRule rule, const SolidView& view, int stalls, int attempts) {
  int stalled = stalls;
  SpectralSearch search(rule, [&] { return stalled; });
  Started s;
  for (int k = 1; k <= attempts; ++k) {
    search.attemptStarted(k);
    std::vector<double> x(7, k / 10.0), y = x, z = x;
    s.chosen.push_back(search.chooseStart(view, {x, y, z}));
    s.origins.push_back(search.startOrigin());
    s.x.push_back(x);
  }
  return s;
}

TEST(SpectralSearch, TakesOverTheStartsOnlyAfterEnoughStallsAndTriesEachCandidateOnce) {
  OctahedronView o;
  SearchRule rule;
  rule.after = 2;
  const Started before = RunSearch(rule, o.view(), 1, 2);
  EXPECT_EQ(before.chosen, (std::vector<bool>{false, false}));
  EXPECT_EQ(before.origins[0], "random start");
  EXPECT_EQ(before.x[1], std::vector<double>(7, 0.2));  // the attempt's own positions

  const Started after = RunSearch(rule, o.view(), 2, 3);
  const auto candidates = SpectralCandidates(GraphOf(o.view()));
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(after.chosen, std::vector<bool>(3, true));
  EXPECT_EQ(after.origins[0], "spectral start 1 of 1 (" + candidates[0].label + "), search step 1");
  EXPECT_EQ(after.x[0][0], 0.1);  // row 0 is not the solid's
  for (int v = 1; v <= 6; ++v) EXPECT_EQ(after.x[0][v], candidates[0].at[v - 1][0]);
  // The next rounds move the candidate along the attempt's own random positions.
  EXPECT_NE(after.origins[1].find("perturbed, round 1, search step 2"), std::string::npos)
      << after.origins[1];
  EXPECT_NE(after.origins[2].find("perturbed, round 2, search step 3"), std::string::npos)
      << after.origins[2];
  EXPECT_DOUBLE_EQ(after.x[1][3], candidates[0].at[2][0] + rule.jitter * 0.2);
  EXPECT_DOUBLE_EQ(after.x[2][3], candidates[0].at[2][0] + 2 * rule.jitter * 0.3);
  // The same starts again: nothing depends on anything but the inputs.
  EXPECT_EQ(RunSearch(rule, o.view(), 2, 3).x, after.x);
}

TEST(SpectralSearch, ReportsInputCoordinatesWhenNoStartWasOffered) {
  SpectralSearch search(SearchRule{}, [] { return 99; });
  search.attemptStarted(1);
  EXPECT_EQ(search.startOrigin(), "input coordinates");
  SolidView none;  // no vertices: no candidates, random starts go on
  std::vector<double> x(1, 0.5);
  EXPECT_FALSE(search.chooseStart(none, {x, x, x}));
  EXPECT_EQ(search.startOrigin(), "random start");
  EXPECT_EQ(x[0], 0.5);
}

}  // namespace
}  // namespace kelmor
