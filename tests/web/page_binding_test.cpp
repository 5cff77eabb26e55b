// The page's binding without the browser: how its inputs are read and refused, the mesh
// the WebGL view draws, and a run through the page's host (frames, buttons, files).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "support/child_process.h"
#include "web/page_input.h"
#include "web/page_mesh.h"
#include "web/page_run.h"

namespace kelmor {
namespace {

std::string Example(const std::string& name) {
  return testing::ReadAll(std::filesystem::path(KELMOR_SOURCE_DIR) / "examples" / name);
}

std::string ErrorOf(PageInputKind kind, const std::string& text, const std::string& name) {
  try {
    PageTopology(kind, text, name);
  } catch (const ApiError& e) {
    return e.what();
  }
  return "(no error)";
}

const char* kBoxOff =
    "OFF\n8 6 12\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
    "4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 1 2 6 5\n4 2 3 7 6\n4 3 0 4 7\n";

TEST(PageInput, ReadsEachKindAndNamesItsFiles) {
  struct Case {
    PageInputKind kind;
    std::string text, name, wantName;
    int vertices, faces;
  } cases[] = {
      {PageInputKind::Text, Example("cube.txt"), "cube", "cube", 8, 6},
      {PageInputKind::File, Example("snub_cube.txt"), "some/folder/snub.txt", "snub", 24, 38},
      {PageInputKind::File, kBoxOff, "dropped/box.off", "box", 8, 6},
      {PageInputKind::File, kBoxOff, "box-without-extension", "box-without-extension", 8, 6},
      {PageInputKind::Conway, "tI", "", "conway", 60, 32},
      {PageInputKind::Text, Example("cube.txt"), "", "solid", 8, 6},
  };
  for (const Case& c : cases) {
    const Topology t = PageTopology(c.kind, c.text, c.name);
    EXPECT_EQ(t.name, c.wantName) << c.name;
    EXPECT_EQ(t.vertices, c.vertices) << c.name;
    EXPECT_EQ(t.faces, c.faces) << c.name;
  }
}

TEST(PageInput, RefusesInTheWordsOfTheCommandLine) {
  struct Case {
    PageInputKind kind;
    std::string text, name, wantStart;
  } cases[] = {
      {PageInputKind::Text, "no faces here", "x", "KELMOR has come across error, attempting to resume 62"},
      {PageInputKind::File, "OFF\n4 1 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 1 9\n", "bad.off", "OFF file bad.off: line 7"},
      {PageInputKind::File, "OFF\n3 1 3\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "open.off", "OFF file open.off: "},
      {PageInputKind::Conway, "Zq", "", "Conway notation Zq: "},
  };
  for (const Case& c : cases) {
    const std::string e = ErrorOf(c.kind, c.text, c.name);
    EXPECT_EQ(e.rfind(c.wantStart, 0), 0u) << c.text << "\n gave: " << e;
  }
}

// A unit square pyramid's shape with its own colour entries, and a pentagram.
SolutionSnapshot Shapes() {
  SolutionSnapshot s;
  s.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, 0.7}};
  s.faces = {{{0, 3, 2, 1}, 1, false, 4}, {{0, 1, 4}, 1, false, 3}, {{1, 2, 4}, 1, false, 3},
             {{2, 3, 4}, 1, false, 3}, {{3, 0, 4}, 1, false, 3}};
  s.colours.assign(33, {0, 0, 0});
  s.colours[3] = {0, 0, 1};
  s.colours[4] = {1, 0.5, 0};
  return s;
}

TEST(PageMesh, FillsEveryFaceInItsColourAndOutlinesItAsItsStepRuns) {
  const SolutionSnapshot s = Shapes();
  const PageMesh m = PageMeshOf(s);
  ASSERT_EQ(m.faces, 5);
  ASSERT_EQ(m.triangleFace.size(), 6u);  // the square in two, four triangles
  ASSERT_EQ(m.positions.size(), 6u * 9);
  for (size_t t = 0; t < m.triangleFace.size(); ++t) {
    const SnapshotColour want = s.colours[static_cast<size_t>(s.faces.at(static_cast<size_t>(m.triangleFace[t])).colour)];
    for (int corner = 0; corner < 3; ++corner) {
      EXPECT_FLOAT_EQ(m.colours[t * 9 + corner * 3 + 0], want.r) << t;
      EXPECT_FLOAT_EQ(m.colours[t * 9 + corner * 3 + 1], want.g) << t;
      EXPECT_FLOAT_EQ(m.colours[t * 9 + corner * 3 + 2], want.b) << t;
    }
  }
  EXPECT_EQ(std::count(m.triangleFace.begin(), m.triangleFace.end(), 0), 2);
  EXPECT_EQ(m.outlines.size(), (4u + 4 * 3) * 6);

  // {5/2}: the outline joins each corner to the one two further on.
  SolutionSnapshot star;
  for (int k = 0; k < 5; ++k) star.points.push_back({std::cos(k * 1.2566370614359172), std::sin(k * 1.2566370614359172), 0});
  star.faces = {{{0, 1, 2, 3, 4}, 2, true, 11}};
  star.colours.assign(33, {0.2, 0.4, 0.6});
  const PageMesh p = PageMeshOf(star);
  ASSERT_EQ(p.outlines.size(), 5u * 6);
  for (int seg = 0; seg < 5; ++seg) {
    const SnapshotPoint& a = star.points[static_cast<size_t>(seg)];
    const SnapshotPoint& b = star.points[static_cast<size_t>((seg + 2) % 5)];
    EXPECT_FLOAT_EQ(p.outlines[seg * 6 + 0], static_cast<float>(a.x));
    EXPECT_FLOAT_EQ(p.outlines[seg * 6 + 3], static_cast<float>(b.x));
    EXPECT_FLOAT_EQ(p.outlines[seg * 6 + 4], static_cast<float>(b.y));
  }
}

const File* Named(const Solution& s, const std::string& name) {
  for (const File& f : s.files)
    if (f.name == name) return &f;
  return nullptr;
}

TEST(PageRun, SendsFramesAndLeavesTheRunAsTheLibraryMakesIt) {
  const Topology snub = PageTopology(PageInputKind::Text, Example("snub_cube.txt"), "snub_cube");
  Options options;
  options.seed = 1;
  options.dateText = "12/08/26";
  int figures = 0, shapes = 0;
  size_t lastPoints = 0;
  PageCallbacks c;
  c.figures = [&](const DrawFigures&) { ++figures; };
  c.shape = [&](const SolutionSnapshot& s) {
    ++shapes;
    lastPoints = s.points.size();
    for (const SnapshotFace& f : s.faces) EXPECT_TRUE(f.colour == 3 || f.colour == 4) << f.colour;
  };
  // No wait between frames: every tenth iteration sends one.
  const PageResult run = PageSolve(snub, options, c, 0);
  const SolveResult& page = run.result;
  const SolveResult plain = Solve(snub, options);
  ASSERT_EQ(page.solutions.size(), 1u);
  ASSERT_EQ(plain.solutions.size(), 1u);
  const Solution& s = page.solutions[0];
  EXPECT_EQ(lastPoints, 24u);
  EXPECT_GT(figures, s.iterations / 10 - 2);
  EXPECT_EQ(shapes, figures);
  // The solution keeps its own shape: the frames go on with the attempt after it.
  ASSERT_EQ(run.shapes.size(), 1u);
  ASSERT_EQ(run.shapes[0].points.size(), s.points.size());
  for (size_t v = 0; v < s.points.size(); ++v) {
    EXPECT_EQ(run.shapes[0].points[v].x, s.points[v].x) << v;
    EXPECT_EQ(run.shapes[0].points[v].z, s.points[v].z) << v;
  }
  EXPECT_EQ(run.shapes[0].faces.size(), 38u);
  ASSERT_TRUE(Named(s, "snub_cube.off") && Named(plain.solutions[0], "snub_cube.off"));
  EXPECT_EQ(Named(s, "snub_cube.off")->bytes, Named(plain.solutions[0], "snub_cube.off")->bytes);
  ASSERT_TRUE(Named(s, "snub_cube.glb") && Named(s, "snub_cube.stl"));
  EXPECT_EQ(Named(s, "snub_cube.glb")->bytes.substr(0, 4), "glTF");
  // Binary STL: 80 header bytes, the count, 50 bytes a triangle: 32 triangles, 6 squares in two.
  const std::string& stl = Named(s, "snub_cube.stl")->bytes;
  ASSERT_GE(stl.size(), 84u);
  EXPECT_EQ(stl.size(), 84u + 50u * (32 + 6 * 2));
}

TEST(PageRun, ButtonsAndStopRulesEndTheRun) {
  const Topology cube = PageTopology(PageInputKind::Text, Example("cube.txt"), "cube");
  struct Case {
    const char* what;
    ButtonSet first;  // pressed at the first poll, nothing after
    Options options;
    int solutions;
  } cases[] = {
      {"Stop at once", QuitButton, {}, 0},
      {"three solutions wanted, one attempt allowed", 0, [] { Options o; o.solutions = 3; o.maxAttempts = 1; return o; }(), 1},
      {"an attempt cut short in once mode", 0, [] { Options o; o.mode = RunMode::Once; o.maxIterations = 50; return o; }(), 0},
  };
  for (Case& c : cases) {
    c.options.seed = 7;
    int polls = 0;
    PageCallbacks callbacks;
    callbacks.buttons = [&] { return polls++ == 0 ? c.first : ButtonSet{0}; };
    const SolveResult r = PageSolve(cube, c.options, callbacks, 1e9).result;
    EXPECT_EQ(static_cast<int>(r.solutions.size()), c.solutions) << c.what;
    EXPECT_GT(polls, 0) << c.what;
  }
}

}  // namespace
}  // namespace kelmor
