#pragma once

#include "model/limits.h"
#include "model/table.h"

namespace kelmor {

// The edges the force model works on, built from the faces on every pass, and the
// vertex adjacency. Rows 1..EdgeTotal.
struct EdgeTable {
  Table2<int> EdgeEnds;    // (e, 1..3): smaller vertex, larger vertex, marked type
  Table<int> EdgeClass;    // strength class: 1 or 2
  Table<double> EdgeTarget;
  Table2<int> EdgeFaces;   // (e, 1..2): creating face, merged face (0 when none)
  Table<double> EdgeDev;   // signed length - target, written by the edge pass
  int EdgeTotal = 0;
  Table<int> VertexDegree;  // rows 0..MaxItems
  Table2<int> Neighbour;    // (v, 1..MaxNeighbours)
  double BandLength = 1.0;

  void Reset() {
    EdgeEnds.resize(MaxEdges, 3, 0);
    EdgeClass.resize(MaxEdges, 0);
    EdgeTarget.resize(MaxEdges, 0.0);
    EdgeFaces.resize(MaxEdges, 2, 0);
    EdgeDev.resize(MaxEdges, 0.0);
    EdgeTotal = 0;
    VertexDegree.resize(MaxItems, 0);
    Neighbour.resize(MaxItems, MaxNeighbours, 0);
    BandLength = 1.0;
  }
};

}  // namespace kelmor
