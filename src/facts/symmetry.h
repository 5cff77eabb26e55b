#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/vec3.h"

namespace kelmor {

// A point group in Schoenflies notation: a family and, for the axial families, the order
// n of the principal axis (Cn, Cnv, Cnh, Dn, Dnh, Dnd; S2n keeps 2n in `n`).
struct PointGroup {
  enum class Family { C, Cv, Ch, S, D, Dh, Dd, T, Td, Th, O, Oh, I, Ih, Linear, LinearH };
  Family family = Family::C;
  int n = 1;
  bool operator==(const PointGroup&) const = default;
};

// "C1", "Cs", "Ci", "C3v", "D5d", "S4", "Ih", ...; C1v and C1h read as Cs, S2 as Ci,
// D1 as C2 and so on, so that one group has one name.
std::string GroupName(PointGroup g);
// The group a name stands for; nullopt for a name that is none (S3, C0, "Q", "C2x").
std::optional<PointGroup> ParseGroup(const std::string& name);
// Whether `whole` has a subgroup of the kind `part` (every group contains C1 and itself).
bool HasSubgroup(PointGroup whole, PointGroup part);

// One symmetry operation as a 3x3 matrix about the points' centre, rows first.
using Operation = std::array<double, 9>;

struct SymmetryFound {
  PointGroup group;
  std::vector<Operation> operations;  // every operation found, the identity first
};

// The symmetry group of a point set: every orthogonal map about the centroid that sends
// each point to some point within `tolerance` (same unit as the points), and that also
// sends each edge {a, b} of `edges` onto an edge when edges are given. Candidates come
// from a frame of two points sent to every pair of points at the same distances, so the
// cost is about V^2 candidates checked in V log V each, most refused at once.
SymmetryFound FindSymmetry(const std::vector<Vec3>& points, const std::vector<std::array<int, 2>>& edges,
                           double tolerance);

// The group of a list of operations that is closed (a group), by its axes and mirrors.
PointGroup ClassifyOperations(const std::vector<Operation>& operations, double tolerance = 1e-6);

}  // namespace kelmor
