#pragma once

#include <ostream>
#include <string>

#include "export/mesh.h"

namespace kelmor {

// Each writer takes a mesh already in the file's units. name titles the model inside the
// file. Writers raise std::runtime_error with the reason when they cannot write.

// glTF 2.0, binary (.glb) or text with the buffer inside (.gltf): one primitive per part,
// so every face of a solid stays a piece of its own in its colour.
void WriteGltf(const Mesh& mesh, const std::string& name, bool binary, std::ostream& os);

// 3MF in millimetres: one object per closed shell set, one base material per colour.
void Write3mf(const Mesh& mesh, const std::string& name, const std::string& path);

// Through assimp's exporters: binary STL, or OBJ with its MTL file beside it (the MTL
// takes the OBJ's name with ".mtl").
void WriteStl(const Mesh& mesh, const std::string& name, const std::string& path);
void WriteObj(const Mesh& mesh, const std::string& name, const std::string& path);

}  // namespace kelmor
