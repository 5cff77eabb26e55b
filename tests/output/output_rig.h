#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include <vector>

#include "model/geometry.h"
#include "output/output_call.h"
#include "run/run.h"
#include "support/model_builder.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

namespace kelmor::testing {

// A run with a model placed by hand, ready for the writers: fixed date, version and
// user, and an edge table made from the faces' sides (target 1, deviation = length - 1).
struct OutputRig {
  Session session;
  TestHost host;
  Run run{session, host};

  explicit OutputRig(const std::vector<Face>& faces, std::string name = "model") {
    BuildModel(run, faces);
    run.OutputName = std::move(name);
    run.OutputDate = "2024-03-05";
    run.VersionText = "1.0.0";
    session.prefs.set("unam", "Tester");
    session.prefs.set("usid", "tester@example.org");
    run.relax.EdgeDeform = 0;
    run.relax.PolyDeform = 0;
    run.relax.ViewRadius = 3.5;
    run.relax.ViewDistance = 17.5;
  }

  void Place(int v, double x, double y, double z) {
    run.model.PosX[v] = x;
    run.model.PosY[v] = y;
    run.model.PosZ[v] = z;
  }

  // One edge per side (each star chord of a star face), in face order; a side met again
  // gets its second face. Marked types come from the marked-edge table.
  void BuildEdges() {
    Model& m = run.model;
    EdgeTable& e = run.edges;
    std::map<std::pair<int, int>, int> row;
    for (int f = 1; f <= m.FaceCount; ++f) {
      int n = m.FaceSize[f];
      int sides = n == 2 ? 1 : n;
      for (int p = 1; p <= sides; ++p) {
        int q = (p - 1 + m.FaceStep[f]) % n + 1;
        int a = std::min(m.FaceVertex(f, p), m.FaceVertex(f, q));
        int b = std::max(m.FaceVertex(f, p), m.FaceVertex(f, q));
        auto [it, added] = row.emplace(std::make_pair(a, b), e.EdgeTotal + 1);
        if (!added) {
          e.EdgeFaces(it->second, 2) = f;
          continue;
        }
        int i = ++e.EdgeTotal;
        e.EdgeEnds(i, 1) = a;
        e.EdgeEnds(i, 2) = b;
        for (int r = 1; r < m.EdgeCount; ++r)
          if (m.EdgeList(r, 1) == a && m.EdgeList(r, 2) == b) e.EdgeEnds(i, 3) = m.EdgeList(r, 3);
        e.EdgeFaces(i, 1) = f;
        e.EdgeTarget[i] = 1.0;
      }
    }
    MeasureEdges();
  }

  void MeasureEdges() {
    Model& m = run.model;
    EdgeTable& e = run.edges;
    run.relax.EdgeDeform = 0;
    for (int i = 1; i <= e.EdgeTotal; ++i) {
      int a = e.EdgeEnds(i, 1), b = e.EdgeEnds(i, 2);
      double length = VectorLength(m.PosX[b] - m.PosX[a], m.PosY[b] - m.PosY[a], m.PosZ[b] - m.PosZ[a]);
      e.EdgeDev[i] = length - e.EdgeTarget[i];
      run.relax.EdgeDeform += std::fabs(e.EdgeDev[i]);
    }
  }

  void MarkEdge(int a, int b, int type) {
    Model& m = run.model;
    m.EdgeList(m.EdgeCount, 1) = std::min(a, b);
    m.EdgeList(m.EdgeCount, 2) = std::max(a, b);
    m.EdgeList(m.EdgeCount, 3) = type;
    m.EdgeCount += 1;
  }

  // Writes one file kind into a string through the same code that writes the files.
  template <class Writer>
  std::string Text(Writer write) {
    OutputCall call(run);
    BuildRunSuffix(call);
    std::ostringstream os;
    write(call, os);
    return os.str();
  }

  // A fresh empty folder for this test's files, the run's output folder.
  std::filesystem::path Folder() {
    folder_.emplace();
    run.OutputDir = folder_->path().string();
    return folder_->path();
  }

 private:
  std::optional<TempFolder> folder_;
};

// Unit cube on vertices first..first+7, centred on the origin.
inline std::vector<Face> Cube(int first = 0, const std::vector<std::string>& codes = {}) {
  std::vector<Face> faces = Plain({{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}});
  for (size_t i = 0; i < faces.size(); ++i) {
    for (int& v : faces[i].vertices) v += first;
    if (i < codes.size()) faces[i].code = codes[i];
  }
  return faces;
}

inline void PlaceCube(OutputRig& rig, int first = 0) {
  const double c[8][3] = {{-.5, -.5, -.5}, {.5, -.5, -.5}, {.5, .5, -.5}, {-.5, .5, -.5},
                          {-.5, -.5, .5},  {.5, -.5, .5},  {.5, .5, .5},  {-.5, .5, .5}};
  for (int v = 0; v < 8; ++v) rig.Place(first + v, c[v][0], c[v][1], c[v][2]);
}

// Prism over the pentagram {5/2} with unit edges: star faces on 0..4 (z = 0.5) and 5..9
// (z = -0.5), vertices in ring order, and the five squares on the star's edges.
inline std::vector<Face> PentagrammicPrism() {
  std::vector<Face> faces = {Face{{0, 1, 2, 3, 4}, 2, {}}, Face{{5, 6, 7, 8, 9}, 2, {}}};
  for (int i = 0; i < 5; ++i) {
    int a = i, b = (i + 2) % 5;
    faces.push_back(Face{{a, b, b + 5, a + 5}, 1, {}});
  }
  return faces;
}

inline void PlacePentagrammicPrism(OutputRig& rig) {
  double r = 1 / (2 * std::sin(2 * Pi / 5));
  for (int i = 0; i < 5; ++i) {
    double a = 2 * Pi * i / 5;
    rig.Place(i, r * std::cos(a), r * std::sin(a), 0.5);
    rig.Place(i + 5, r * std::cos(a), r * std::sin(a), -0.5);
  }
}

}  // namespace kelmor::testing
