#pragma once

#include <string>
#include <vector>

#include "output/faces.h"

namespace kelmor {

struct Run;
struct Model;
struct OutputCall;

// Realm vertices are the realm rows 1..RealmCount-1, numbered from 1 in block order: the
// vertices MinVertex..MaxVertex of every segment written (RealmMark the vertex number),
// one anchor for a point realm, two for a line realm (RealmMark 0 and 1).

// Replaces the realm rows of the segment being written by one row per vertex, holding
// its placed position. Returns the first of those rows.
int RecordRealmRows(Run& run);

// Whether a segment before `segment` has already been written to the segment file (so
// the file exists with its header and colour table).
bool SegmentFileStarted(const Model& m, int segment);

// The realm row of a vertex of a segment (the anchor number 0 or 1 for a realm), 0 when
// the segment has no such vertex.
int RealmRow(const Model& m, int segment, int vertex);

// The placed position of a realm vertex: as its segment was written, an anchor placed by
// its realm's edge length, flips and offset.
Point3 RealmPosition(const Run& run, int row);

// The fourth coordinate of a realm vertex in the 4OFF file: its segment number less 1.
double RealmFourth(const Model& m, int row);

// One inter-realm face: the realm vertices of its corners (group segment, vertex number)
// in the order read, and its letters.
struct RealmLink {
  int face = 0;
  std::vector<int> rows;
  std::string code;
};
// Every inter-realm face of two or more corners. The first corner that names a vertex no
// segment has is reported in a message, and every face with such a corner is left out.
std::vector<RealmLink> ResolveRealmLinks(Run& run);

// The realm path, after the inter-realm section closed: the realm shapes appended to
// the segment file, the 4OFF file OutputName + ".off", and the message W02.
void WriteRealmFiles(OutputCall& call);

}  // namespace kelmor
