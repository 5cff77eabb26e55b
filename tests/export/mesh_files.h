#pragma once

#include <filesystem>
#include <string>

#include "export/mesh.h"

namespace kelmor {

// Triangles read back from a written file, corners as stored (points not joined).
struct ReadMesh {
  std::vector<Vec3> points;
  std::vector<std::array<int, 3>> triangles;
  std::vector<int> material;  // 3MF: the base material of each triangle
  std::string error;          // empty when the file could be read
};

ReadMesh ReadBinaryStl(const std::filesystem::path& path);
ReadMesh Read3mf(const std::filesystem::path& path);
// The 3MF model part as text ("" when missing).
std::string Read3mfModel(const std::filesystem::path& path);

// Runs a shell command with HOME and the XDG folders inside dir; returns its exit status
// and puts its output (both streams) in output.
int RunTool(const std::string& command, const std::filesystem::path& dir, std::string& output);

// The glTF validator (npm, in the build's tools folder) on the files: the number of files
// with an error or a warning (each named in output), or -1 when node or the validator is
// not installed.
int ValidateGltf(const std::vector<std::filesystem::path>& files, const std::filesystem::path& dir,
                 std::string& output);

}  // namespace kelmor
