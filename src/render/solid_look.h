#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/solid_mesh.h"

namespace kelmor::render {

// The OFF file lists every face as a plain polygon; the solid VRML file written with it
// draws frame faces (coded "f") as a ring of quadrilaterals around an open middle and
// translucent faces (coded "t") also as a pane with the file's transparency. This reads
// that look from the solid file and gives it to the OFF file's faces (MeshFace::ring and
// MeshFace::pane). The solid file must belong to the same solution: its points start with
// the OFF file's vertices and its faces follow the OFF file's face order. On any mismatch
// the mesh is left as it was and the reason returned.
std::optional<std::string> ReadSolidLook(std::istream& in, SolidMesh& mesh);
std::optional<std::string> ReadSolidLookFile(const std::string& path, SolidMesh& mesh);

// The solid file written with the OFF file at `offIndex` of a solution's written files,
// in the order they were written (the OFF file first, the solid file right after it when
// the preferences write one); empty when `solidWritten` is false or there is none.
std::string SolidFileWrittenWith(const std::vector<std::string>& files, size_t offIndex, bool solidWritten);

}  // namespace kelmor::render
