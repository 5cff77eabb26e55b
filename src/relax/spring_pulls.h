#pragma once

#include "relax/relax_plan.h"

namespace kelmor {

// The spring force of the edge pass as pulls, for the vector path of an iteration. For
// spring i from a to b with L = |a - b| and d = L - target: d goes to dev[springEdge[i]],
// |d| is added to sum in spring order, and the pull f·(a - b), f = d·k[class] / L, to row
// p.springPlus + i of p.pulls, its negation to row p.springMinus + i (both -0, which
// changes no force, when a and b coincide). Adding each vertex's pulls in the order of
// p.forcePullList then gives the forces of the plain edge pass to the last bit.
// rows holds the position rows; k the step-scaled strength of each class 0..6.
// Four springs at a time with AVX2 (the processor must have it), the rest one by one.
void SpringPulls(RelaxPlan& p, const double* rows, const double (&k)[7], double* dev, double& sum);

}  // namespace kelmor
