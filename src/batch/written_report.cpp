#include "batch/written_report.h"

#include <fstream>
#include <sstream>
#include <string>

namespace kelmor {

namespace fs = std::filesystem;

namespace {

// The number after the label on a report line ("# Maximum Single Edge Distortion (SE):   0").
std::optional<double> Figure(const std::string& line, const std::string& label) {
  size_t at = line.find(label);
  if (at == std::string::npos) return std::nullopt;
  std::istringstream s(line.substr(at + label.size()));
  double v = 0;
  if (s >> v) return v;
  return std::nullopt;
}

}  // namespace

WrittenFigures ReadWrittenFigures(const fs::path& folder, const std::string& name) {
  WrittenFigures w;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind(name, 0) != 0 || entry.path().extension() != ".wrl") continue;
    std::ifstream in(entry.path());
    std::string line;
    // The report stands in the header, before the first node.
    for (int n = 0; n < 60 && std::getline(in, line) && !(w.SE && w.A); ++n) {
      if (!w.SE) w.SE = Figure(line, "(SE):");
      if (!w.A) w.A = Figure(line, "(A):");
    }
    if (w.SE && w.A) break;
  }
  std::ifstream off(folder / (name + ".off"));
  std::string line;
  bool header = false;
  while (std::getline(off, line)) {
    if (!header) {
      header = line.rfind("OFF", 0) == 0;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream s(line);
    long vertices = 0, faces = 0, edges = 0;
    if (s >> vertices >> faces >> edges) w.edges = edges;
    break;
  }
  return w;
}

}  // namespace kelmor
