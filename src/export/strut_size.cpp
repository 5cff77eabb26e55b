#include "export/strut_size.h"

#include <algorithm>

namespace kelmor {

StrutSizes PrintedStrutSizes(const SolutionSnapshot& s, const ExportRequest& r) {
  const double edge = r.scale.value_or(DefaultEdgeMillimetres);
  StrutSizes sizes;
  sizes.strut = r.strut.value_or(std::max(2 * s.strutRadius * edge, ThinnestPrintedMillimetres));
  sizes.ball = r.ball.value_or(std::max(2 * s.ballRadius * edge, 1.5 * sizes.strut));
  return sizes;
}

SolutionSnapshot WithStrutSizes(SolutionSnapshot s, const StrutSizes& sizes,
                                double edgeMillimetres) {
  s.strutRadius = sizes.strut / 2 / edgeMillimetres;
  s.ballRadius = sizes.ball / 2 / edgeMillimetres;
  return s;
}

}  // namespace kelmor
