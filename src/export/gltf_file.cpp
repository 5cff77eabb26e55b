#include <cmath>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <tiny_gltf.h>

#include "export/format_writers.h"

namespace kelmor {

namespace {

// glTF colours are linear; the colour table holds display (sRGB) values.
double Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

template <typename T>
int AddView(tinygltf::Model& m, const std::vector<T>& data, int target) {
  tinygltf::Buffer& buffer = m.buffers[0];
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = buffer.data.size();
  view.byteLength = data.size() * sizeof(T);
  view.target = target;
  buffer.data.resize(buffer.data.size() + view.byteLength);
  std::memcpy(buffer.data.data() + view.byteOffset, data.data(), view.byteLength);
  m.bufferViews.push_back(view);
  return static_cast<int>(m.bufferViews.size()) - 1;
}

int AddVectors(tinygltf::Model& m, const std::vector<Vec3>& vectors, bool bounds) {
  std::vector<float> flat;
  tinygltf::Accessor a;
  a.minValues.assign(3, 0);
  a.maxValues.assign(3, 0);
  for (size_t i = 0; i < vectors.size(); ++i) {
    float v[3] = {static_cast<float>(vectors[i].x), static_cast<float>(vectors[i].y), static_cast<float>(vectors[i].z)};
    for (int k = 0; k < 3; ++k) {
      flat.push_back(v[k]);
      a.minValues[static_cast<size_t>(k)] = i == 0 ? v[k] : std::min<double>(a.minValues[static_cast<size_t>(k)], v[k]);
      a.maxValues[static_cast<size_t>(k)] = i == 0 ? v[k] : std::max<double>(a.maxValues[static_cast<size_t>(k)], v[k]);
    }
  }
  if (!bounds) a.minValues.clear(), a.maxValues.clear();
  a.bufferView = AddView(m, flat, TINYGLTF_TARGET_ARRAY_BUFFER);
  a.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
  a.count = vectors.size();
  a.type = TINYGLTF_TYPE_VEC3;
  m.accessors.push_back(a);
  return static_cast<int>(m.accessors.size()) - 1;
}

int AddIndices(tinygltf::Model& m, const std::vector<unsigned>& indices) {
  std::vector<uint32_t> data(indices.begin(), indices.end());
  tinygltf::Accessor a;
  a.bufferView = AddView(m, data, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
  a.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
  a.count = data.size();
  a.type = TINYGLTF_TYPE_SCALAR;
  m.accessors.push_back(a);
  return static_cast<int>(m.accessors.size()) - 1;
}

}  // namespace

std::vector<FurtherFile> WriteGltf(const Mesh& mesh, const std::string& name, bool binary,
                                   const std::string& path) {
  tinygltf::Model m;
  m.asset.version = "2.0";
  m.asset.generator = "Kelmor " KELMOR_VERSION;
  m.buffers.resize(1);
  std::vector<MeshPart> parts = SplitParts(mesh);
  // Only the materials some part uses: others would be reported as unused.
  std::vector<int> materialIndex(mesh.materials.size(), -1);
  for (const MeshPart& part : parts) {
    int& index = materialIndex.at(static_cast<size_t>(part.material));
    if (index >= 0) continue;
    index = static_cast<int>(m.materials.size());
    const MeshMaterial& mat = mesh.materials[static_cast<size_t>(part.material)];
    tinygltf::Material g;
    g.name = mat.name;
    g.pbrMetallicRoughness.baseColorFactor = {Linear(mat.colour.r), Linear(mat.colour.g), Linear(mat.colour.b),
                                              mat.opacity};
    if (mat.opacity < 1) g.alphaMode = "BLEND";
    g.doubleSided = mesh.doubleSided;
    g.pbrMetallicRoughness.metallicFactor = 0.0;
    g.pbrMetallicRoughness.roughnessFactor = 0.6;
    m.materials.push_back(g);
  }
  tinygltf::Mesh gm;
  gm.name = name;
  for (const MeshPart& part : parts) {
    tinygltf::Primitive p;
    p.attributes["POSITION"] = AddVectors(m, part.positions, true);
    p.attributes["NORMAL"] = AddVectors(m, part.normals, false);
    p.indices = AddIndices(m, part.indices);
    p.material = materialIndex[static_cast<size_t>(part.material)];
    p.mode = TINYGLTF_MODE_TRIANGLES;
    gm.primitives.push_back(p);
  }
  if (gm.primitives.empty()) throw std::runtime_error("the model has no faces to write");
  m.meshes.push_back(gm);
  tinygltf::Node node;
  node.name = name;
  node.mesh = 0;
  m.nodes.push_back(node);
  tinygltf::Scene scene;
  scene.name = name;
  scene.nodes.push_back(0);
  m.scenes.push_back(scene);
  m.defaultScene = 0;
  tinygltf::TinyGLTF writer;
  std::ostringstream os;
  if (!writer.WriteGltfSceneToStream(&m, os, !binary, binary)) throw std::runtime_error("glTF writer failed");
  return {{path, std::move(os).str()}};
}

}  // namespace kelmor
