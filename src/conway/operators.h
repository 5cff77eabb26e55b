#pragma once

#include "model/solid_faces.h"

namespace kelmor::conway {

// Topological operators on a closed solid whose faces all run the same way round; each
// result runs the same way round too. Only the face lists matter: coordinates are not
// produced. Vertices of a result are numbered old vertices first, then new ones.

SolidFaces Dual(const SolidFaces& s);
SolidFaces Ambo(const SolidFaces& s);
// A pyramid on every face with `sides` vertices (every face when sides is 0).
SolidFaces Kis(const SolidFaces& s, int sides = 0);
// Each face shrunk, each edge widened into a hexagon.
SolidFaces Chamfer(const SolidFaces& s);
// Each face fanned into pentagons round a new centre.
SolidFaces Gyro(const SolidFaces& s);
// Each face turned inside a ring of quadrilaterals.
SolidFaces Propeller(const SolidFaces& s);
// Each face turned inside a ring of hexagons.
SolidFaces Whirl(const SolidFaces& s);

// The seeds, built rather than listed: a pyramid, prism or antiprism over an n-gon, and
// the Platonic solids from them (T = Y3, C = P4, O = A3, I = k5 A5, D = d I).
SolidFaces Pyramid(int n);
SolidFaces Prism(int n);
SolidFaces Antiprism(int n);

}  // namespace kelmor::conway
