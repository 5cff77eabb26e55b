#pragma once

#include <ostream>
#include <string>

namespace kelmor {

struct Run;
struct OutputCall;

// The largest absolute edge deviation above 1e-10 (0 when no edge deviates).
double MaxEdgeDistortion(const Run& run);

// The aggregate angle deformation in degrees: every corner of every face against the
// angle its family or its regular polygon should have.
double AngleDeformation(const Run& run);

// The "acute angle: ..." text of a rhombus face, from its first-to-third diagonal.
std::string RhombusAngleText(const Run& run, int f);
// The apex angle text of a distorted hexagon.
std::string HexagonApexText(const Run& run, int f);

// The report comment block of a VRML header. Sets call.SE. On the stress pass it also
// marks every edge for decoration ("o" on both faces, cylinder marks on).
void WriteReport(OutputCall& call, std::ostream& os);

}  // namespace kelmor
