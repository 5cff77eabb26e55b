#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "model/model.h"

namespace kelmor {

// Row layout of the face tables between the topology steps: polygons in rows
// 1..PolygonCount, then the edge-only faces (bands) in the DigonCount rows after them.
// Steps that add or drop polygons carry the band rows along so they stay there.

inline int BandRow(const Model& m, int band) { return m.PolygonCount + band; }
inline int LastFaceRow(const Model& m) { return m.PolygonCount + m.DigonCount; }

// One face row, lifted out of the tables.
struct FaceRow {
  std::vector<int> vertices;  // positions 1..size
  int size = 0;
  int step = 0;
  std::string code;
};

inline FaceRow TakeFaceRow(const Model& m, int row) {
  FaceRow r;
  r.size = m.FaceSize[row];
  r.step = m.FaceStep[row];
  r.code = m.FaceCode[row];
  for (int p = 1; p <= r.size; ++p) r.vertices.push_back(m.FaceVertex(row, p));
  return r;
}

inline void ClearFaceRow(Model& m, int row) {
  m.FaceSize[row] = 0;
  m.FaceStep[row] = 0;
  m.FaceCode[row].clear();
  int* v = m.FaceVertex.row(row);
  std::fill(v, v + m.FaceVertex.maxCol() + 1, 0);
}

inline void PutFaceRow(Model& m, int row, const FaceRow& r) {
  ClearFaceRow(m, row);
  m.FaceSize[row] = r.size;
  m.FaceStep[row] = r.step;
  m.FaceCode[row] = r.code;
  for (int p = 1; p <= r.size; ++p) m.FaceVertex(row, p) = r.vertices[static_cast<size_t>(p - 1)];
}

// The band rows, lifted out (and cleared) so that polygon rows can be added or moved.
inline std::vector<FaceRow> TakeBandRows(Model& m) {
  std::vector<FaceRow> bands;
  for (int i = 1; i <= m.DigonCount; ++i) {
    bands.push_back(TakeFaceRow(m, BandRow(m, i)));
    ClearFaceRow(m, BandRow(m, i));
  }
  return bands;
}

// Puts the bands back after the polygons as PolygonCount now stands.
inline void PutBandRows(Model& m, const std::vector<FaceRow>& bands) {
  for (size_t i = 0; i < bands.size(); ++i)
    PutFaceRow(m, BandRow(m, static_cast<int>(i) + 1), bands[i]);
}

}  // namespace kelmor
