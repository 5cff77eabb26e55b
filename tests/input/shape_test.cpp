#include "input/shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "model/error.h"
#include "run/run.h"

namespace kelmor {
namespace {

class SilentHost : public Host {
 public:
  void message(const std::string&) override {}
  bool askYesNo(const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return true; }
};

SpecialChoice Choice(int option, std::string nd) {
  SpecialChoice c;
  if (option >= 0) c.SpecialOption[static_cast<size_t>(option)] = true;
  c.Specialnd = std::move(nd);
  return c;
}

struct Generated {
  Session session;
  SilentHost host;
  Run run{session, host};

  Generated(int option, const std::string& nd) {
    session.special = Choice(option, nd);
    session.input.InDir = "/in";
    session.input.OutDir = "/out";
    run.model.Reset();
  }
  void generate() { GenerateShape(run); }
  std::vector<int> face(int f) const {
    std::vector<int> v;
    for (int p = 1; p <= run.model.FaceSize[f]; ++p) v.push_back(run.model.FaceVertex(f, p));
    return v;
  }
};

TEST(ShapeChoice, Messages) {
  const std::string pick = "Please select one of Polygon, Pyramid, Prism or Antiprism";
  const std::string size = "Please select a polygon size";
  EXPECT_EQ(ValidateSpecialChoice(Choice(-1, "5")), pick);
  SpecialChoice two = Choice(1, "5");
  two.SpecialOption[3] = true;
  EXPECT_EQ(ValidateSpecialChoice(two), pick);
  EXPECT_EQ(ValidateSpecialChoice(Choice(0, "0")), size);
  EXPECT_EQ(ValidateSpecialChoice(Choice(0, "abc")), size);
  EXPECT_EQ(ValidateSpecialChoice(Choice(0, "")), size);
  EXPECT_EQ(ValidateSpecialChoice(Choice(0, "1e999")), size);
  // Only a size reading exactly 0 is refused.
  EXPECT_EQ(ValidateSpecialChoice(Choice(0, "0.3")), std::nullopt);
  EXPECT_EQ(ValidateSpecialChoice(Choice(0, "-4")), std::nullopt);
  EXPECT_EQ(ValidateSpecialChoice(Choice(3, "7/2")), std::nullopt);
}

TEST(ShapeChoice, BaseNames) {
  EXPECT_EQ(ShapeBaseName(Choice(0, "5")), "polygon5");
  EXPECT_EQ(ShapeBaseName(Choice(2, "5/2")), "prism5-2");
  EXPECT_EQ(ShapeBaseName(Choice(3, "7/2")), "antiprism7-2");
  EXPECT_EQ(ShapeBaseName(Choice(1, "6/1")), "pyramid6");
  EXPECT_EQ(ShapeBaseName(Choice(0, "4.6")), "polygon5");  // rounded
}

TEST(ShapeGenerator, PrismOverPentagram) {
  Generated g(2, "5/2");
  g.generate();
  const Model& m = g.run.model;
  EXPECT_EQ(g.run.InputName, "prism");
  EXPECT_EQ(g.run.BaseName, "prism5-2");
  EXPECT_EQ(g.run.OutputName, "prism5-2");
  EXPECT_EQ(g.run.OutputDir, "/in");
  EXPECT_EQ(m.MinVertex, 1);
  EXPECT_EQ(m.MaxVertex, 10);
  EXPECT_EQ(m.PolygonCount, 7);
  EXPECT_EQ(m.FaceCount, 7);
  EXPECT_EQ(g.face(1), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(g.face(2), (std::vector<int>{6, 7, 8, 9, 10}));
  EXPECT_EQ(m.FaceStep[1], 2);
  EXPECT_EQ(m.FaceStep[2], 2);
  EXPECT_EQ(g.face(3), (std::vector<int>{1, 2, 7, 6}));
  EXPECT_EQ(g.face(6), (std::vector<int>{4, 5, 10, 9}));
  EXPECT_EQ(g.face(7), (std::vector<int>{5, 1, 6, 10}));
  for (int f = 3; f <= 7; ++f) {
    EXPECT_EQ(m.FaceStep[f], 1);
    EXPECT_EQ(m.FaceCode[f], "");
  }
}

TEST(ShapeGenerator, PyramidOverHexagonIntoTheOutputFolder) {
  Generated g(1, "6");
  g.session.input.OutSame = false;
  g.generate();
  const Model& m = g.run.model;
  EXPECT_EQ(g.run.OutputDir, "/out");
  EXPECT_EQ(m.MaxVertex, 7);
  EXPECT_EQ(m.PolygonCount, 7);
  EXPECT_EQ(g.face(1), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(m.FaceStep[1], 1);
  EXPECT_EQ(g.face(2), (std::vector<int>{1, 2, 7}));
  EXPECT_EQ(g.face(6), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(g.face(7), (std::vector<int>{6, 1, 7}));
  EXPECT_EQ(m.StartVertex, 0);  // no starting positions
}

TEST(ShapeGenerator, AntiprismTriangles) {
  Generated g(3, "4");
  g.generate();
  const Model& m = g.run.model;
  EXPECT_EQ(m.MaxVertex, 8);
  EXPECT_EQ(m.PolygonCount, 10);
  EXPECT_EQ(g.face(3), (std::vector<int>{1, 2, 5}));
  EXPECT_EQ(g.face(5), (std::vector<int>{3, 4, 7}));
  EXPECT_EQ(g.face(6), (std::vector<int>{4, 1, 8}));
  EXPECT_EQ(g.face(7), (std::vector<int>{5, 6, 2}));
  EXPECT_EQ(g.face(9), (std::vector<int>{7, 8, 4}));
  // The closing triangle of the second row runs 2n, 1, n + 1.
  EXPECT_EQ(g.face(10), (std::vector<int>{8, 1, 5}));
  // Every edge of a closed antiprism is shared by exactly two faces.
  std::map<std::pair<int, int>, int> uses;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    std::vector<int> v = g.face(f);
    for (size_t j = 0; j < v.size(); ++j) {
      int a = v[j], b = v[(j + 1) % v.size()];
      ++uses[{std::min(a, b), std::max(a, b)}];
    }
  }
  EXPECT_EQ(uses.size(), 16u);
  for (const auto& [edge, count] : uses) EXPECT_EQ(count, 2) << edge.first << "-" << edge.second;
}

TEST(ShapeGenerator, SizesOutsideTheTables) {
  Generated big(0, "41");
  try {
    big.generate();
    FAIL() << "a 41-gon fits no face row";
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrSubscript);
  }
  Generated forty(3, "40");
  EXPECT_NO_THROW(forty.generate());
  EXPECT_EQ(forty.run.model.PolygonCount, 82);

  Generated tiny(0, "0.3");  // passes the window's check; face 1 gets size 0
  tiny.generate();
  EXPECT_EQ(tiny.run.model.FaceSize[1], 0);
  EXPECT_EQ(tiny.run.model.MaxVertex, 0);
  EXPECT_EQ(tiny.run.BaseName, "polygon0");
}

}  // namespace
}  // namespace kelmor
