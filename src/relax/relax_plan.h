#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "relax/pull_lists.h"
#include "relax/quad_rows.h"
#include "run/host.h"

namespace kelmor {

// One face that receives the polygon shape force, with what its positions need.
struct ShapeFace {
  int face = 0;       // face number
  int n = 0;          // FaceSize
  int first = 0;      // first position's row in RelaxPlan::shapeIdx / shapeOnV
  int slot = 0;       // first position's slot in the pass's offset rows
  uint8_t nr = 1;     // points averaged into the far reference point (1, 2 or 3)
  uint8_t nm = 2;     // points averaged into the near point (2 or 4)
  uint8_t rhombus = 0;  // rhombus set 1..3 that decides the ratio (0: none)
  uint8_t hex = 0;      // hexagon family deciding the ratio: 1 "D", 2 "d" (0: none)
  bool weak = false;    // under the weaken limit: weakened polygon strength
  double reach = 0;     // ReachTable(n, 1)
  double reachStep = 1; // ReachTable(n, FaceStep) for star faces, else 1
};

// Faces of one kind in the shape pass: slots first..first+count (a multiple of four), with
// nr far reference points and nm near points per position, all weakened or none.
struct ShapeGroup {
  int nr = 1, nm = 2;
  bool weak = false;
  int first = 0, count = 0;
};

// What an iteration would otherwise re-derive from letters and tables, gathered once per
// attempt (the topology does not change within an attempt). Vertex indices are vertex
// numbers, so they index the position, velocity and force arrays directly.
struct RelaxPlan {
  int vmin = 0, vmax = -1;

  // Edges that receive a spring force (not between two "n"/"N" faces), in edge order.
  std::vector<int> springEdge, springA, springB, springClass;
  std::vector<double> springTarget;

  // Every edge's two faces and local inflation target, row e - 1 for edge e.
  std::vector<int> edgeFace1, edgeFace2;
  std::vector<double> localTarget;

  // Faces 0..PolygonCount as flat vertex lists: face f holds faceVerts[faceStart[f]] up to
  // faceVerts[faceStart[f + 1]] (face 0, the missing face of an open edge, holds none).
  std::vector<int> faceStart, faceVerts;
  std::vector<uint8_t> faceMoves;  // local inflation moves the face (not a star)
  std::vector<double> faceForceX, faceForceY, faceForceZ;  // local inflation per face

  // Faces with a shape force, in face order; per position 8 vertex indices:
  // the vertex, three far reference points, four near points (unused ones repeat).
  std::vector<ShapeFace> shapeFaces;
  std::vector<int> shapeIdx;
  std::vector<uint8_t> shapeOnV;  // "v" on the vertex or on its opposite vertex
  bool anyWeakShape = false;

  // The pass works out every position's pull (its offset from its target times the
  // strength) in slots: plain faces grouped by kind, four slots at a time, then the faces
  // whose target depends on a rhombus set or a hexagon family (shapeFamilyFaces, rows of
  // shapeFaces), one at a time. Per slot the rows (4·vertex) of the 8 vertices of
  // shapeIdx (padding slots repeat a real vertex) and the reach.
  std::vector<ShapeGroup> shapeGroups;
  std::vector<int> shapeFamilyFaces;
  std::vector<int> slotRows;
  std::vector<double> slotReach, slotReachStep;
  // Scratch of the pass: far points four to a slot, and the offsets' lengths.
  QuadRows shapeFar;
  std::vector<double> shapeLengths;

  // Pulls, four doubles to a row: a row per slot from row 0, then (vector path) the
  // springs' pulls from row springPlus and their negations from row springMinus.
  QuadRows pulls;
  int springPlus = 0, springMinus = 0;
  // Each vertex's pulls in the order its forces add them up: the slots' in face order
  // (shapePullList), or the springs' in spring order and then the slots' (forcePullList).
  PullList shapePullList, forcePullList;

  // The positions four to a vertex (x, y, z, 0), for the vertices rowLo..rowHi that the
  // springs and the slots read.
  QuadRows positionRows;
  int rowLo = 0, rowHi = -1;

  // Rhombus sets 1..3 ("D", "d", "q" quadrilaterals) and hexagon families 1 "D", 2 "d":
  // four (or six) vertex indices per face.
  std::array<std::vector<int>, 4> rhombusVerts;
  std::array<std::vector<int>, 3> hexVerts;

  // Edges the draw window shows (target above 0.999), with a line buffer of their size.
  std::vector<int> drawA, drawB;
  std::vector<DrawLine> lines;
};

}  // namespace kelmor
