#include "output/report.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "model/geometry.h"
#include "model/locale_text.h"
#include "model/numtext.h"
#include "output/faces.h"
#include "output/output_call.h"
#include "run/run.h"

namespace kelmor {

namespace {

constexpr double Tiny = 1e-10;

double Distance(const Run& run, int a, int b) {
  Point3 p = VertexPosition(run, a), q = VertexPosition(run, b);
  return VectorLength(q.x - p.x, q.y - p.y, q.z - p.z);
}

// The two ideal angles of a family; none when the family has no measured shape.
struct IdealPair {
  bool known = false;
  double acute = 0, obtuse = 0;
};

IdealPair RhombusIdeal(double shortDiagonal) {
  if (shortDiagonal <= 0) return {};
  double acute = 2 * ArcSine(shortDiagonal / 2);
  return {true, acute, Pi - acute};
}

IdealPair HexagonIdeal(double pairDiagonal) {
  if (pairDiagonal <= 1) return {};
  double x = std::sqrt(pairDiagonal * pairDiagonal - 1);
  double apex = 2 * ArcSine(x / 2);
  return {true, apex, Pi - apex / 2};
}

// The nearer of the two ideal angles, the obtuse one when both are equally near.
double Nearer(const IdealPair& ideal, double theta) {
  return std::fabs(theta - ideal.acute) < std::fabs(theta - ideal.obtuse) ? ideal.acute : ideal.obtuse;
}

int FirstFace(const Run& run, int size, const char* letter) {
  const Model& m = run.model;
  for (int f = 1; f <= m.PolygonCount; ++f)
    if (m.FaceSize[f] == size && HasLetter(m.FaceCode[f], letter)) return f;
  return 0;
}

}  // namespace

double MaxEdgeDistortion(const Run& run) {
  double se = 0;
  for (int e = 1; e <= run.edges.EdgeTotal; ++e) {
    double dev = std::fabs(run.edges.EdgeDev[e]);
    if (dev > Tiny && dev > se) se = dev;
  }
  return se;
}

double AngleDeformation(const Run& run) {
  const Model& m = run.model;
  const RelaxState& r = run.relax;
  const IdealPair rhombus1 = RhombusIdeal(r.DiagShort1), rhombus2 = RhombusIdeal(r.DiagShort2),
                  rhombus3 = RhombusIdeal(r.DiagShort3);
  const IdealPair hexagon1 = HexagonIdeal(r.HexPairD), hexagon2 = HexagonIdeal(r.HexPaird);
  double degrees = 0;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    int n = m.FaceSize[f];
    if (n < 3) continue;
    int k = m.FaceStep[f] == 0 ? 1 : m.FaceStep[f];
    const std::string& code = m.FaceCode[f];
    bool bigD = HasLetter(code, "D"), smallD = HasLetter(code, "d");
    // The family whose shape the face should have; a regular polygon otherwise.
    const IdealPair* family = nullptr;
    if (n == 4 && bigD) family = &rhombus1;
    else if (n == 4 && smallD) family = &rhombus2;
    else if (n == 6 && bigD) family = &hexagon1;
    else if (n == 6 && smallD) family = &hexagon2;
    else if (n == 4 && HasLetter(code, "q")) family = &rhombus3;
    else if (bigD || smallD) continue;  // a family letter on a face of another size
    // A star drawn with step k has the corners of the one drawn with step n - k
    // ({5/3} is a pentagram), so the smaller of the two gives its corner angle.
    const int turn = std::min(k % n, n - k % n);
    const double regular = Pi * (n - 2 * turn) / n;
    for (int p = 1; p <= n; ++p) {
      auto at = [&](int q) { return m.FaceVertex(f, ((q - 1) % n + n) % n + 1); };
      Point3 c = VertexPosition(run, at(p)), a = VertexPosition(run, at(p - k)),
             b = VertexPosition(run, at(p + k));
      double ax = a.x - c.x, ay = a.y - c.y, az = a.z - c.z;
      double bx = b.x - c.x, by = b.y - c.y, bz = b.z - c.z;
      double la = VectorLength(ax, ay, az), lb = VectorLength(bx, by, bz);
      if (la == 0 || lb == 0) continue;  // a corner on a coincident vertex has no angle
      double theta = ArcCosine((ax * bx + ay * by + az * bz) / (la * lb));
      double ideal = family && family->known ? Nearer(*family, theta) : regular;
      degrees += std::fabs(theta - ideal) * 180 / Pi;
    }
  }
  return degrees;
}

std::string RhombusAngleText(const Run& run, int f) {
  double d = Distance(run, run.model.FaceVertex(f, 1), run.model.FaceVertex(f, 3));
  if (d >= 2) d = 0;
  if (d > std::sqrt(2.0)) d = std::sqrt(4 - d * d);
  double half = ArcSine(d / 2);
  return "acute angle: " + NumberText(2 * half, "0.0###") + " radians, " +
         NumberText(half * 360 / Pi, "#0.0##") + " degrees.";
}

std::string HexagonApexText(const Run& run, int f) {
  const Model& m = run.model;
  auto v = [&](int p) { return m.FaceVertex(f, p); };
  double d14 = Distance(run, v(1), v(4)), d25 = Distance(run, v(2), v(5)), d36 = Distance(run, v(3), v(6));
  // Without two equal long diagonals there is no apex; the first corner stands in.
  int apex = 1;
  if (std::fabs(d14 - d25) < 0.00001) apex = 3;
  if (std::fabs(d25 - d36) < 0.00001) apex = 4;
  if (std::fabs(d14 - d36) < 0.00001) apex = 2;
  int before = apex == 1 ? 6 : apex - 1;
  double d = Distance(run, v(before), v(apex + 1));
  double angle = 2 * ArcSine(d / 2);
  return NumberText(angle, "0.0###") + " radians, " + NumberText(angle * 180 / Pi, "#0.0##") + " degrees.";
}

void WriteReport(OutputCall& call, std::ostream& os) {
  Run& run = call.run;
  Model& m = run.model;
  const RunOptions& o = run.session.options;
  const bool asEntered = Ticked(o.incord);
  const bool userData = Ticked(o.Userdata);
  const double E = run.relax.EdgeDeform, P = run.relax.PolyDeform;
  auto line = [&](std::string_view text) { Line(os, text); };

  call.SE = MaxEdgeDistortion(run);
  if (!asEntered || userData) {
    if (!call.locale) call.locale = UserLocale();
    const std::locale& locale = *call.locale;
    double A = AngleDeformation(run);
    auto figure = [&](double value) { return LocaleBareNumber(value, locale); };
    line("# Aggregate Edge Deformation (E):       " + figure(E));
    line("# Maximum Single Edge Distortion (SE):  " + figure(call.SE));
    line("# Polygonal Deformation (P):            " + figure(P));
    line("# Aggregate Angle Deformation (A):      " + figure(A) + " degrees");
    line("#                                       " + figure(A * Pi / 180) + " radians");
    line("#");
    line("# Deformation Summary                    (E=" + LocaleNumberText(E, "0.000", locale) +
         ", P=" + LocaleNumberText(P, "0.000", locale) + ", A=" + LocaleNumberText(A, "0.0", locale) +
         "\u00b0)");
    line("#");
    if (P > Tiny) {
      for (int f = 1; f <= m.PolygonCount; ++f) {
        double deform = run.relax.FaceDeform[f];
        if (deform <= Tiny) continue;
        std::string text = "# side :" + BareNumber(f) + "Vertices :" + BareNumber(m.FaceSize[f]) + " Nos. (";
        for (int p = 1; p <= m.FaceSize[f]; ++p) text += BareNumber(m.FaceVertex(f, p));
        line(text + ")  Deformation " + NumberText(deform, "0.0######"));
      }
    }
    line("#");
  }
  if (E > Tiny) {
    const EdgeTable& e = run.edges;
    for (int i = 1; i <= e.EdgeTotal; ++i) {
      if (run.StressPass == 1) {
        m.FaceCode[e.EdgeFaces(i, 1)] += "o";
        m.FaceCode[e.EdgeFaces(i, 2)] += "o";
        m.CylinderMarks = 1;
      }
      double dev = e.EdgeDev[i];
      if (asEntered || std::fabs(dev) <= Tiny) continue;
      line("# Edge :" + BareNumber(i) + "Vertices :" + BareNumber(e.EdgeEnds(i, 1)) +
           BareNumber(e.EdgeEnds(i, 2)) + "Deformation :" + NumberText(std::fabs(dev), "0.0######") +
           (dev >= 0 ? "  Elongation" : "  Compression"));
    }
  }
  struct RhombusLine {
    const char* letter;
    double forcedAngle;
    const char* forced;
    const char* plain;
  };
  const RhombusLine rhombi[3] = {
      {"D", run.RhombusAngle[1], "# Forced rhombus ", "# Rhombus "},
      {"d", run.RhombusAngle[2], "# Forced type 2 rhombus ", "# Type 2 Rhombus "},
      {"q", run.RhombusAngle[3], "# Forced type 3 rhombus ", "# Type 3 Rhombus "},
  };
  for (const RhombusLine& r : rhombi) {
    int f = FirstFace(run, 4, r.letter);
    if (f == 0) continue;
    line(std::string(r.forcedAngle > 0 ? r.forced : r.plain) + RhombusAngleText(run, f));
    line("# Angle deformation above assumption that all rhombi have acute angle as above");
  }
  if (int f = FirstFace(run, 6, "D")) {
    line("# Distorted hexagon apex angle: " + HexagonApexText(run, f));
    line("# Angle deformation above assumption that all distorted hexagons above have have apex angle as above.");
    line("# Distorted hexagons contain 2 apex angles (a) and four other angles of pi-(a/2) radians.");
  }
  if (int f = FirstFace(run, 6, "d")) {
    line("# Distorted hexagon type 2 apex angle: " + HexagonApexText(run, f));
    line("# Angle deformation above assumption that all above distorted hexagons have have apex angle as above.");
    line("# Distorted hexagons contain 2 apex angles (a) and four other angles of pi-(a/2) radians.");
  }
  if (m.SegmentCount > 1) {
    line("");
    for (int s = 1; s <= m.SegmentCount; ++s)
      line("# Segment:" + BareNumber(s) + "  Edge Length: " + NumberText(ReadNumber(o.SegEdge[s]), "#0.00"));
    line("");
  }
  if (userData) {
    const InflationState& inf = run.infl;
    const char* modes[4] = {"", "once", "repeat", "weaken"};
    line("# USERDATA information");
    line("# Output name: " + OneLineText(run.OutputName));
    line("# Generation date: " + call.date);
    line("# Program: " + run.session.VersionText);
    line(std::string("# Run mode: ") + (run.RunMode >= 1 && run.RunMode <= 3 ? modes[run.RunMode] : ""));
    line("# Isomorph number: " + std::to_string(run.IsomorphIndex));
    line("# Iterations: " + std::to_string(run.relax.Iteration));
    line("# Attempts: " + std::to_string(run.relax.attempts));
    line("# input file:" + OneLineText(run.InputName));
    line("# Graphics: " + BareNumber(run.GraphicsOn));
    line("# Inflation: " + BareNumber(inf.InflateMode));
    line("# Global Inflation Limit: " + BareNumber(inf.GlobalLimit));
    line("# Weaken side Limit: " + BareNumber(run.WeakenLimitValue));
    line("# Local Inflation Option :" + BareNumber(inf.LocalModeCode));
    line("# Min/Max Inflation :" + BareNumber(inf.SelectedMin) + BareNumber(inf.SelectedMax));
    line("# Spacific Inflation/Edges/Cycles :" + BareNumber(inf.SelectedTarget) + BareNumber(inf.SelectedN) +
         BareNumber(inf.SelectedD));
    line("# Min/Max star Inflation :" + BareNumber(inf.StarMin) + BareNumber(inf.StarMax));
    line("# Min/Max Regular Inflation :" + BareNumber(inf.LocalMin) + BareNumber(inf.LocalMax));
    line("# Temporary Band Length :" + BareNumber(run.edges.BandLength));
    line("# Highlight Edges/Cycles :" + BareNumber(run.HighlightN) + BareNumber(run.HighlightD));
    line("# Collapse Stars :");
    line("# Augment Sides/Cycles: " + BareNumber(run.AugmentN) + BareNumber(run.AugmentD));
    line("# Augment Original side Option/Colour :" + run.AugmentKeep + " " + run.AugmentColourCode);
    line("# END OF USER DATA");
  }
  line("#");
}

}  // namespace kelmor
