#pragma once

#include "export/export_list.h"
#include "output/solution_snapshot.h"

namespace kelmor {

// The thinnest strut a common 0.4 mm nozzle prints whole: three lines side by side. A
// thinner one prints in pieces or not at all.
constexpr double ThinnestPrintedMillimetres = 1.2;

// Printed diameters in millimetres of the strut model's struts and balls.
struct StrutSizes {
  double strut = 0, ball = 0;
};

// The sizes for a print at the request's edge length. --strut and --ball are taken as
// given; otherwise the struts are as thick as the cylinder model's preferences make them,
// but at least ThinnestPrintedMillimetres, and the balls as the preferences make them, but
// at least half as thick again as the struts, so that they close every joint.
StrutSizes PrintedStrutSizes(const SolutionSnapshot& s, const ExportRequest& r);

// The snapshot with its strut and ball radii set for a unit edge from printed sizes.
SolutionSnapshot WithStrutSizes(SolutionSnapshot s, const StrutSizes& sizes,
                                double edgeMillimetres);

}  // namespace kelmor
