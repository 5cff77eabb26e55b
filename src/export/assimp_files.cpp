// OBJ through assimp's exporter.
#include <assimp/Exporter.hpp>
#include <assimp/IOStream.hpp>
#include <assimp/IOSystem.hpp>
#include <assimp/scene.h>
#include <algorithm>
#include <cstring>
#include <deque>
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
    float opacity = static_cast<float>(mesh.materials[i].opacity);
    if (opacity < 1) material->AddProperty(&opacity, 1, AI_MATKEY_OPACITY);
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

// A file an exporter writes, kept in memory.
class MemoryFile : public Assimp::IOStream {
 public:
  explicit MemoryFile(std::string& bytes) : bytes_(bytes) {}
  size_t Read(void*, size_t, size_t) override { return 0; }
  size_t Write(const void* data, size_t size, size_t count) override {
    const size_t n = size * count;
    if (position_ + n > bytes_.size()) bytes_.resize(position_ + n);
    std::memcpy(bytes_.data() + position_, data, n);
    position_ += n;
    return count;
  }
  aiReturn Seek(size_t offset, aiOrigin origin) override {
    const size_t base = origin == aiOrigin_SET ? 0 : origin == aiOrigin_CUR ? position_ : bytes_.size();
    if (base + offset > bytes_.size()) return aiReturn_FAILURE;
    position_ = base + offset;
    return aiReturn_SUCCESS;
  }
  size_t Tell() const override { return position_; }
  size_t FileSize() const override { return bytes_.size(); }
  void Flush() override {}

 private:
  std::string& bytes_;
  size_t position_ = 0;
};

// Collects every file an exporter opens (an OBJ opens its MTL too) under the name it asked
// for, so that nothing reaches the disk until the caller commits the lot.
class MemoryFiles : public Assimp::IOSystem {
 public:
  explicit MemoryFiles(std::deque<FurtherFile>& files) : files_(files) {}
  bool Exists(const char* name) const override {
    return std::any_of(files_.begin(), files_.end(), [&](const FurtherFile& f) { return f.path == name; });
  }
  char getOsSeparator() const override { return '/'; }
  Assimp::IOStream* Open(const char* name, const char* mode) override {
    if (!std::strchr(mode, 'w')) return nullptr;
    files_.push_back({name, {}});
    return new MemoryFile(files_.back().bytes);
  }
  void Close(Assimp::IOStream* file) override { delete file; }

 private:
  std::deque<FurtherFile>& files_;  // a deque: an open file's bytes stay where they are
};

std::vector<FurtherFile> Export(const Mesh& mesh, const std::string& name, const char* format,
                                const std::string& path) {
  if (mesh.triangles.empty()) throw std::runtime_error("the model has no faces to write");
  std::unique_ptr<aiScene> scene = SceneOf(mesh, name);
  std::deque<FurtherFile> made;
  {
    Assimp::Exporter exporter;
    exporter.SetIOHandler(new MemoryFiles(made));  // the exporter owns and deletes it
    if (exporter.Export(scene.get(), format, path) != aiReturn_SUCCESS)
      throw std::runtime_error(exporter.GetErrorString());
  }
  std::vector<FurtherFile> files(std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
  auto target = std::find_if(files.begin(), files.end(), [&](const FurtherFile& f) { return f.path == path; });
  if (target == files.end()) throw std::runtime_error("the exporter made no file");
  std::rotate(files.begin(), target, target + 1);
  return files;
}

}  // namespace

std::vector<FurtherFile> WriteObj(const Mesh& mesh, const std::string& name, const std::string& path) {
  return Export(mesh, name, "obj", path);
}

}  // namespace kelmor
