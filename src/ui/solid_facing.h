#pragma once

#include <vector>

#include "render/solid_mesh.h"
#include "render/view.h"

namespace kelmor {

// The turn that puts a solid up as a gallery shows it: the middle of its largest face
// (most corners; the first of equals) straight above its centre, so that the iso view
// then looks down on that face and along the solid's symmetry axis through it. The
// identity for a solid without faces.
render::Matrix3 UprightTurn(const render::SolidMesh& mesh);

// Which faces and vertices face the eye under rotation (model to eye, z towards the eye):
// a face whose outward normal (the one pointing away from the solid's centre) points
// towards the eye; a vertex with such a face.
struct Facing {
  std::vector<bool> faces, vertices;
};
Facing FacingTheEye(const render::SolidMesh& mesh, const render::Matrix3& rotation, Vec3 centre);

}  // namespace kelmor
