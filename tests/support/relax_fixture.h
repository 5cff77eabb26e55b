#pragma once

// A relaxation-ready run built straight from face lists: model, edge table, adjacency,
// regular polygon tables and the run-wide values the loop reads, without the parser.

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "model/geometry.h"
#include "run/run.h"
#include "run/session.h"
#include "support/model_builder.h"
#include "support/test_host.h"
#include "topology/polygon_tables.h"

namespace kelmor::testing {

// Presses Quit at the first poll after a number of written solutions, or after a number
// of polls; otherwise behaves as the recording host.
class QuittingHost : public TestHost {
 public:
  int quitAfterSolutions = 0;  // 0: never
  long quitAfterPolls = 0;     // 0: never
  int quitAtAttempt = 0;       // 0: never
  ButtonSet pollButtons() override {
    ButtonSet b = TestHost::pollButtons();
    if (quitAtAttempt > 0 && static_cast<int>(attemptsStarted.size()) >= quitAtAttempt) b |= QuitButton;
    if (quitAfterSolutions > 0 && static_cast<int>(written.size()) >= quitAfterSolutions) b |= QuitButton;
    if (quitAfterPolls > 0 && polls >= quitAfterPolls) b |= QuitButton;
    return b;
  }
};

// count vertex numbers from `from` on: a face's vertex list.
inline std::vector<int> Consecutive(int from, int count) {
  std::vector<int> v(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) v[static_cast<size_t>(i)] = from + i;
  return v;
}

// The unit-edge regular polygon values the force model reads, where the fill left none.
inline void EnsurePolygonTables(PolygonTables& t) {
  if (t.ReachTable[4][1] != 0) return;
  for (int n = 3; n <= MaxSides; ++n) {
    const double s = std::sin(Pi / n);
    t.ReachTable[n][1] = n % 2 ? 0.5 / std::tan(Pi / n) + 0.5 / s : 1 / s - (2.0 / 3.0) * s;
    for (int k = 1; k <= MaxStep && 2 * k < n; ++k) {
      if (k > 1) t.ReachTable[n][k] = s / std::sin(k * Pi / n);
      t.InradiusTable[n][k] = 1 / (2 * std::tan(k * Pi / n));
    }
  }
  t.ReachTable[3][1] = 1;
  t.ReachTable[4][1] = std::sqrt(2.0);
}

// Ring edges of every face (star faces: ring of the convex hull plus their own chords),
// duplicates merged into the first row, and the adjacency.
inline void BuildTestEdges(Run& run) {
  const Model& m = run.model;
  EdgeTable& et = run.edges;
  et.EdgeTotal = 0;
  auto add = [&](int a, int b, double target, int cls, int face) {
    if (a > b) std::swap(a, b);
    for (int e = 1; e <= et.EdgeTotal; ++e) {
      if (et.EdgeEnds(e, 1) == a && et.EdgeEnds(e, 2) == b) {
        et.EdgeClass[e] = std::max(et.EdgeClass[e], cls);
        et.EdgeFaces(e, 2) = face;
        return;
      }
    }
    const int e = ++et.EdgeTotal;
    et.EdgeEnds(e, 1) = a, et.EdgeEnds(e, 2) = b;
    et.EdgeTarget[e] = target, et.EdgeClass[e] = cls, et.EdgeFaces(e, 1) = face;
  };
  for (int f = 1; f <= m.PolygonCount; ++f) {
    const int n = m.FaceSize[f], k = m.FaceStep[f];
    const int cls = n < run.WeakenLimitValue + 1 ? 1 : 2;
    const double ring = k == 1 ? 1.0 : run.poly.ReachTable[n][k];
    for (int j = 1; j <= n; ++j) add(m.FaceVertex(f, j), m.FaceVertex(f, j % n + 1), ring, cls, f);
    if (k > 1)
      for (int i = 1; i <= n; ++i) add(m.FaceVertex(f, i), m.FaceVertex(f, (i + k - 1) % n + 1), 1.0, 2, f);
  }
  for (int e = 1; e <= et.EdgeTotal; ++e) {
    const int a = et.EdgeEnds(e, 1), b = et.EdgeEnds(e, 2);
    et.Neighbour(a, ++et.VertexDegree[a]) = b;
    et.Neighbour(b, ++et.VertexDegree[b]) = a;
  }
}

// A run of the faces with the default strengths, no inflation, repeat mode, files (if
// any) going to a fresh temporary folder.
struct RelaxRig {
  Session session;
  QuittingHost host;
  Run run{session, host};
  std::filesystem::path folder;

  explicit RelaxRig(const std::vector<Face>& faces, const std::string& name = "model") {
    session.seed = 1;
    BuildModel(run, faces);
    EnsurePolygonTables(run.poly);
    BuildTestEdges(run);
    static const char* keys[7] = {"", "f001", "f002", "f003", "f004", "f005", "f006"};
    for (int i = 1; i <= 6; ++i) run.Strength[i] = session.prefs.number(keys[i]);
    run.rng.seed(*session.seed);
    run.infl.InflateMode = 0;
    run.infl.D4Factor = 1;
    run.BaseName = run.OutputName = name;
    folder = std::filesystem::temp_directory_path() /
             ("kelmor_relax_" + name + "_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(folder);
    run.InputDir = run.OutputDir = folder.string();
  }
  ~RelaxRig() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  // Starting coordinates for vertices MinVertex.. in order, used by the first attempt.
  void StartAt(const std::vector<std::array<double, 3>>& points) {
    for (size_t i = 0; i < points.size(); ++i) {
      run.model.VertexX[i] = points[i][0];
      run.model.VertexY[i] = points[i][1];
      run.model.VertexZ[i] = points[i][2];
    }
    run.model.StartVertex = static_cast<int>(points.size()) - 1;
  }
};

}  // namespace kelmor::testing
