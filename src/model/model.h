#pragma once

#include <cstdint>
#include <string>

#include "model/limits.h"
#include "model/table.h"

namespace kelmor {

// The polyhedral model: faces, per-face codes, per-vertex flags and coordinates, marked
// edges and the segment/realm bookkeeping. Faces and positions count from 1, vertex
// numbers from 0. Sized once per run by Reset(); every bound is a hard limit (error 9).
struct Model {
  // Per face (rows 0..MaxItems); FaceVertex(face, position 0..MaxFaceVertices).
  Table2<int> FaceVertex;
  Table<int> FaceSize;
  Table<int> FaceStep;
  Table<std::string> FaceCode;
  // Centre point of a face written as a fan (set by the writer, -1 when none).
  Table<int> FaceCentre;

  // Per vertex (rows 0..MaxItems).
  Table<std::string> VertexFlags;
  Table<double> VertexX, VertexY, VertexZ;
  Table<double> PosX, PosY, PosZ;

  // Marked edges: EdgeList(row, 1..3) = smaller vertex, larger vertex, type.
  Table2<int> EdgeList;
  int EdgeCount = 1;  // next free row

  // Counters set by the parser.
  int FaceCount = 0;
  int DigonCount = 0;
  int PolygonCount = 0;
  int MinVertex = 999;
  int MaxVertex = -1;

  // Presence switches.
  int CylinderMarks = 0;
  int CylinderMarks2 = 0;
  int FtrFlagsSeen = 0;
  int FaceASeen = 0;
  int FaceTSeen = 0;

  // Segments and realms.
  int SegmentIndex = 1;
  int SegmentCount = 1;
  int RealmMode = 0;
  Table<int> SegmentRealmMode;
  Table<std::string> SegmentFlags;
  Table<int> SegmentRealmEnd;
  Table2<double> RealmPoint;  // (row, 1..3)
  Table<int> RealmSegment;
  Table<int> RealmMark;
  int RealmCount = 1;
  Table2<int> RealmFace;      // (realm face, 1..4)
  Table2<int> RealmFaceFrom;  // (realm face, 1..4)
  Table<std::string> RealmCode;
  Table<int> RealmFaceSize;   // vertices read for each inter-realm face
  int RealmFaceIndex = 1;

  // Number of starting-position triples read (the index of the last vertex given).
  int StartVertex = 0;
  bool StartPositionsRead = false;

  // Sizes every table to its limit and clears it (run start).
  void Reset();
  // The per-segment reset: codes, flags, switches (except FtrFlagsSeen), counters.
  void ResetSegment();
};

}  // namespace kelmor
