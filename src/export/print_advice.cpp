#include "export/print_advice.h"

#include <algorithm>
#include <cstdio>

namespace kelmor {

namespace {

// Numbers in advice: four significant digits, so that no size, however absurd, runs
// into a long or wrapped number.
std::string Millimetres(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g mm", mm);
  return text;
}

}  // namespace

std::optional<std::string> SizeAdvice(const Mesh& printed) {
  if (printed.points.empty()) return std::nullopt;
  Vec3 low = printed.points[0], high = printed.points[0];
  for (const Vec3& p : printed.points) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  double size = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
  if (size < SmallestPrintMillimetres)
    return "the model is " + Millimetres(size) +
           " across: below about 5 mm a slicer finds little or nothing to "
           "print (--scale sets the edge length in millimetres)";
  if (size > LargestPrintMillimetres)
    return "the model is " + Millimetres(size) +
           " across: above about 250 mm it does not fit most printers "
           "(--scale sets the edge length in millimetres)";
  return std::nullopt;
}

std::optional<std::string> StrutAdvice(const StrutSizes& sizes) {
  if (sizes.strut >= ThinnestPrintedMillimetres) return std::nullopt;
  return "struts " + Millimetres(sizes.strut) + " thick print in pieces or not at all; below " +
         Millimetres(ThinnestPrintedMillimetres) + " a nozzle of 0.4 mm cannot print them whole";
}

std::optional<std::string> ShellAdvice(const ShellReport& report, int openFaces,
                                       bool selfIntersecting) {
  if (!report.Printable()) {
    std::string why;
    if (report.openEdges)
      why = std::to_string(report.openEdges) + " open edges" +
            (openFaces ? " (faces coded B leave holes)" : "");
    else if (report.overusedEdges)
      why = std::to_string(report.overusedEdges) + " edges shared by more than two faces";
    else if (report.misorientedEdges)
      why = "a one-sided surface (no consistent outside)";
    else
      why = "a shell with no volume";
    return "not a closed solid for printing: " + why;
  }
  if (selfIntersecting)
    return std::string(
        "the solid runs through itself (star faces): a slicer prints its outer hull");
  return std::nullopt;
}

}  // namespace kelmor
