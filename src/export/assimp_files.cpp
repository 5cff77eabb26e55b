// STL and OBJ through assimp's exporters.
#include <assimp/Exporter.hpp>
#include <assimp/scene.h>
#include <memory>
#include <stdexcept>

#include "export/format_writers.h"

namespace kelmor {

namespace {

// One assimp mesh per part (a face of a solid, the struts, the balls), each with its
// material; assimp's scene owns and frees everything it is given.
std::unique_ptr<aiScene> SceneOf(const Mesh& mesh, const std::string& name) {
  auto scene = std::make_unique<aiScene>();
  std::vector<MeshPart> parts = SplitParts(mesh);
  scene->mNumMaterials = static_cast<unsigned>(mesh.materials.size());
  scene->mMaterials = new aiMaterial*[scene->mNumMaterials];
  for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
    auto* material = new aiMaterial();
    aiString label(mesh.materials[i].name);
    material->AddProperty(&label, AI_MATKEY_NAME);
    const SnapshotColour& c = mesh.materials[i].colour;
    aiColor3D colour(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b));
    material->AddProperty(&colour, 1, AI_MATKEY_COLOR_DIFFUSE);
    scene->mMaterials[i] = material;
  }
  scene->mNumMeshes = static_cast<unsigned>(parts.size());
  scene->mMeshes = new aiMesh*[parts.size()];
  scene->mRootNode = new aiNode(name);
  scene->mRootNode->mNumMeshes = scene->mNumMeshes;
  scene->mRootNode->mMeshes = new unsigned[parts.size()];
  for (size_t i = 0; i < parts.size(); ++i) {
    const MeshPart& part = parts[i];
    auto* m = new aiMesh();
    m->mName = aiString(name + "_" + std::to_string(i + 1));
    m->mMaterialIndex = static_cast<unsigned>(part.material);
    m->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    m->mNumVertices = static_cast<unsigned>(part.positions.size());
    m->mVertices = new aiVector3D[m->mNumVertices];
    m->mNormals = new aiVector3D[m->mNumVertices];
    for (unsigned v = 0; v < m->mNumVertices; ++v) {
      const Vec3 &p = part.positions[v], &n = part.normals[v];
      m->mVertices[v] = aiVector3D(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
      m->mNormals[v] = aiVector3D(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z));
    }
    m->mNumFaces = static_cast<unsigned>(part.indices.size() / 3);
    m->mFaces = new aiFace[m->mNumFaces];
    for (unsigned f = 0; f < m->mNumFaces; ++f) {
      m->mFaces[f].mNumIndices = 3;
      m->mFaces[f].mIndices = new unsigned[3]{part.indices[3 * f], part.indices[3 * f + 1], part.indices[3 * f + 2]};
    }
    scene->mMeshes[i] = m;
    scene->mRootNode->mMeshes[i] = static_cast<unsigned>(i);
  }
  return scene;
}

void Export(const Mesh& mesh, const std::string& name, const char* format, const std::string& path) {
  if (mesh.triangles.empty()) throw std::runtime_error("the model has no faces to write");
  std::unique_ptr<aiScene> scene = SceneOf(mesh, name);
  Assimp::Exporter exporter;
  if (exporter.Export(scene.get(), format, path) != aiReturn_SUCCESS)
    throw std::runtime_error(exporter.GetErrorString());
}

}  // namespace

void WriteStl(const Mesh& mesh, const std::string& name, const std::string& path) { Export(mesh, name, "stlb", path); }

void WriteObj(const Mesh& mesh, const std::string& name, const std::string& path) { Export(mesh, name, "obj", path); }

}  // namespace kelmor
