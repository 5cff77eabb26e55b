#pragma once

#include <string>
#include <vector>

#include "export/mesh.h"
#include "output/solution_snapshot.h"

namespace kelmor {

// Each writer takes a mesh already in the file's units and returns the bytes of the files
// it makes (the target first, then any file the target names), without touching the disk:
// the caller commits them all at once. name titles the model inside the file. Writers
// raise std::runtime_error with the reason when they cannot make the file.

// glTF 2.0, binary (.glb) or text with the buffer inside (.gltf): one primitive per part,
// so every face of a solid stays a piece of its own in its colour.
std::vector<FurtherFile> WriteGltf(const Mesh& mesh, const std::string& name, bool binary,
                                   const std::string& path);

// 3MF in millimetres: one object per closed shell set, one base material per colour.
std::vector<FurtherFile> Write3mf(const Mesh& mesh, const std::string& name, const std::string& path);

// Binary STL: the name in the header, every facet with its own plane's normal.
std::vector<FurtherFile> WriteStl(const Mesh& mesh, const std::string& name, const std::string& path);

// Through assimp's exporter: OBJ with its MTL file beside it (the MTL takes the OBJ's name
// with ".mtl").
std::vector<FurtherFile> WriteObj(const Mesh& mesh, const std::string& name, const std::string& path);

}  // namespace kelmor
