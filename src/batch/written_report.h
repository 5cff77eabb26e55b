#pragma once

#include <filesystem>
#include <optional>

namespace kelmor {

// What a batch reads back from a solution's written files: the single-edge maximum and
// the angle deformation of the report in the VRML header, and the edge count of the OFF
// file (the exactness test scales with it).
struct WrittenFigures {
  std::optional<double> SE, A;
  std::optional<long> edges;
};

// Reads NAME*.wrl and NAME.off of a solution in the folder; missing figures stay empty.
WrittenFigures ReadWrittenFigures(const std::filesystem::path& folder, const std::string& name);

}  // namespace kelmor
