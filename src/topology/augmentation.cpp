#include <vector>

#include "model/colour.h"
#include "model/numtext.h"
#include "run/run.h"
#include "topology/face_rows.h"
#include "topology/topology.h"

namespace kelmor {

namespace {

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// Reads AugmentN/AugmentD, AugmentKeep and AugmentColourCode from the options.
void ReadAugmentOptions(Run& run) {
  const RunOptions& o = run.session.options;
  if (Ticked(o.Augment) && !o.AugmentVal.empty()) {
    NdValue nd = ReadNd(o.AugmentVal);
    run.AugmentN = nd.n;
    run.AugmentD = nd.d;
  }
  switch (o.AugmentOption) {
    case 1:
      run.AugmentKeep = "Y";
      break;
    case 2:
      run.AugmentKeep = "N";
      break;
    case 3:
      run.AugmentKeep = "B";
      break;
    default:
      run.AugmentKeep.clear();
      break;
  }
  switch (o.AugmentColour) {
    case 0:
      run.AugmentColourCode = "O";
      break;
    case 1:
      run.AugmentColourCode = "H";
      break;
    case 2:
      run.AugmentColourCode = "T";
      break;
    default:
      run.AugmentColourCode.clear();
      break;
  }
}

// Colour code of the triangles raised on a face of n sides whose colour index is faceColour.
std::string TriangleCode(const Run& run, int n, int faceColour) {
  if (faceColour >= 21) return ColourCodeFor(faceColour);  // a colour given by letter
  if (run.AugmentColourCode == "H") return "Q2";
  if (run.AugmentColourCode == "T") return "Q3";
  if (run.AugmentColourCode == "O") return ColourCodeFor(n);
  return {};
}

}  // namespace

void AugmentFaces(Run& run) {
  Model& m = run.model;
  ReadAugmentOptions(run);
  const bool byType = run.AugmentMode == 1;
  // The new triangles go where the bands are; the bands follow them.
  std::vector<FaceRow> bands = TakeBandRows(m);
  int nextFace = m.PolygonCount + 1;
  int nextVertex = m.MaxVertex + 1;
  int faceColour = 0;
  const int polygons = m.PolygonCount;
  for (int f = 1; f <= polygons; ++f) {
    const int n = m.FaceSize[f];
    const bool ofType = byType && n == run.AugmentN && m.FaceStep[f] == run.AugmentD;
    if (!Contains(m.FaceCode[f], "A") && !ofType) continue;
    if (run.AugmentKeep == "B") m.FaceCode[f] = "B" + m.FaceCode[f];
    FaceColourIndex(n, m.FaceStep[f], m.FaceCode[f], faceColour);
    const int apex = nextVertex;
    if (apex > MaxItems) raiseError(ErrSubscript);
    const std::string code = TriangleCode(run, n, faceColour);
    for (int j = 1; j <= n; ++j) {
      const int t = nextFace;
      if (t > MaxItems) raiseError(ErrSubscript);
      ClearFaceRow(m, t);
      m.FaceVertex(t, 1) = m.FaceVertex(f, j);
      m.FaceVertex(t, 2) = m.FaceVertex(f, j < n ? j + 1 : 1);
      m.FaceVertex(t, 3) = apex;
      m.FaceStep[t] = 1;
      m.FaceSize[t] = 3;
      m.FaceCode[t] = code;
      run.debug.Line(ListLine() << "Augmented triangle added, side: " << t << "vertices: "
                                << m.FaceVertex(t, 1) << m.FaceVertex(t, 2) << apex << " ");
      nextFace += 1;
    }
    nextVertex += 1;
    // A face chosen only by its letter "A" is never removed.
    if (run.AugmentKeep == "N" && ofType) {
      m.FaceSize[f] = 0;
      run.debug.Line(ListLine() << "Side :" << f << "removed during augmentation");
    }
  }
  m.PolygonCount = nextFace - 1;
  m.MaxVertex = nextVertex - 1;
  PutBandRows(m, bands);
}

void TidyFaces(Run& run) {
  Model& m = run.model;
  const int oldLast = LastFaceRow(m);

  // Compaction: deleted faces (size -1 from the star collapse, 0 from augmentation) go.
  std::vector<FaceRow> bands = TakeBandRows(m);
  int kept = 0;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    if (m.FaceSize[f] <= 0) continue;
    kept += 1;
    if (kept != f) PutFaceRow(m, kept, TakeFaceRow(m, f));
  }
  m.PolygonCount = kept;
  for (int f = kept + 1; f <= oldLast; ++f) ClearFaceRow(m, f);
  PutBandRows(m, bands);

  // Star ring order: from outline order to the order of the star's convex ring.
  for (int f = 1; f <= m.PolygonCount; ++f) {
    const int n = m.FaceSize[f], k = m.FaceStep[f];
    if (k <= 1) continue;
    const int inverse = n <= MaxSides && k <= MaxStep ? run.poly.StepInverseTable[n][k] : 0;
    // A compound such as {6/2} has no single outline to reorder; its positions are
    // taken as ring order already.
    if (inverse <= 0) continue;
    std::vector<int> outline(static_cast<size_t>(n) + 1);
    for (int p = 1; p <= n; ++p) outline[static_cast<size_t>(p)] = m.FaceVertex(f, p);
    int p = -1;
    for (int j = 1; j <= n; ++j) {
      p = (p + inverse) % n;
      if (p == 0) p = n;
      m.FaceVertex(f, j) = outline[static_cast<size_t>(p)];
    }
  }

  if (!run.debug.on()) return;
  run.debug.Line(ListLine() << "sides " << m.PolygonCount);
  run.debug.Line(ListLine() << "vertices " << m.MinVertex << " to " << m.MaxVertex);
  for (int f = 1; f <= m.PolygonCount; ++f)
    run.debug.Line(ListLine() << "side" << f << " vertices" << m.FaceSize[f] << " cycles"
                              << m.FaceStep[f]);
}

}  // namespace kelmor
