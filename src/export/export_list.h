#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelmor {

enum class ExportFormat { Glb, Gltf, Stl, ThreeMf, Obj };

// The file name ending of a format, with its full stop (".glb", ".3mf").
const char* Extension(ExportFormat f);
// Formats for printing measure in millimetres; the others keep the model's own unit.
bool ForPrinting(ExportFormat f);

// How a model for printing lies on the bed: on its largest outer face, on a face the user
// names by its number in the input (the face labels' numbers), or as the run solved it.
struct LayOn {
  enum class Kind { Largest, Face, AsSolved };
  Kind kind = Kind::Largest;
  int face = 0;  // with Kind::Face
};

// What the user asked for: the formats, the printed edge length and how printed models
// lie and are built.
struct ExportRequest {
  std::vector<ExportFormat> formats;
  std::optional<double> scale;  // millimetres per unit edge, when the user gave one
  LayOn layOn;
  std::optional<double> strut;  // printed strut diameter in millimetres, when given
  std::optional<double> ball;   // printed ball diameter in millimetres, when given
};

// The printed edge length when none is given.
constexpr double DefaultEdgeMillimetres = 20.0;

// "glb,stl,3mf,obj" to formats, each once, in the order given. Returns the reason when
// the list is refused.
std::optional<std::string> ParseExportList(const std::string& text, std::vector<ExportFormat>& formats);
// The list back as text ("glb,stl").
std::string ExportListText(const std::vector<ExportFormat>& formats);

// "largest", "face N" (also "face=N") or "as-solved". Returns the reason when refused.
std::optional<std::string> ParseLayOn(const std::string& text, LayOn& layOn);

// How many output units one unit edge becomes in a file of this format: millimetres for
// STL and 3MF (the given scale, 20 by default); glTF counts metres, so a given scale
// becomes scale / 1000 and no scale keeps the unit edge; OBJ takes the scale as it is.
double UnitsPerEdge(ExportFormat f, const ExportRequest& r);

}  // namespace kelmor
