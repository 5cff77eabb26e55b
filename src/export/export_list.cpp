#include "export/export_list.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace kelmor {

namespace {

struct Named {
  const char* name;
  ExportFormat format;
};
constexpr Named Names[] = {{"glb", ExportFormat::Glb},
                           {"gltf", ExportFormat::Gltf},
                           {"stl", ExportFormat::Stl},
                           {"3mf", ExportFormat::ThreeMf},
                           {"obj", ExportFormat::Obj}};

}  // namespace

const char* Extension(ExportFormat f) {
  switch (f) {
    case ExportFormat::Glb: return ".glb";
    case ExportFormat::Gltf: return ".gltf";
    case ExportFormat::Stl: return ".stl";
    case ExportFormat::ThreeMf: return ".3mf";
    case ExportFormat::Obj: return ".obj";
  }
  return "";
}

bool ForPrinting(ExportFormat f) { return f == ExportFormat::Stl || f == ExportFormat::ThreeMf; }

std::optional<std::string> ParseExportList(const std::string& text, std::vector<ExportFormat>& formats) {
  formats.clear();
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    std::transform(item.begin(), item.end(), item.begin(), [](unsigned char c) { return std::tolower(c); });
    auto it = std::find_if(std::begin(Names), std::end(Names), [&](const Named& n) { return item == n.name; });
    if (it == std::end(Names))
      return "--export takes a list of glb, gltf, stl, 3mf and obj, e.g. --export glb,stl; '" + item +
             "' is not one of them";
    if (std::find(formats.begin(), formats.end(), it->format) == formats.end()) formats.push_back(it->format);
  }
  if (formats.empty()) return std::string("--export needs at least one of glb, gltf, stl, 3mf and obj");
  return std::nullopt;
}

std::string ExportListText(const std::vector<ExportFormat>& formats) {
  std::string text;
  for (ExportFormat f : formats) {
    if (!text.empty()) text += ",";
    text += std::string(Extension(f)).substr(1);
  }
  return text;
}

std::optional<std::string> ParseLayOn(const std::string& text, LayOn& layOn) {
  if (text == "largest" || text == "as-solved") {
    layOn = {text == "largest" ? LayOn::Kind::Largest : LayOn::Kind::AsSolved, 0};
    return std::nullopt;
  }
  if (text.size() > 5 && text.compare(0, 4, "face") == 0 && (text[4] == ' ' || text[4] == '=')) {
    int face = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data() + 5, end, face);
    if (ec == std::errc() && ptr == end && face > 0) {
      layOn = {LayOn::Kind::Face, face};
      return std::nullopt;
    }
  }
  return "--lay-on takes largest, face N (N a face number from 1) or as-solved, not '" + text + "'";
}

double UnitsPerEdge(ExportFormat f, const ExportRequest& r) {
  if (ForPrinting(f)) return r.scale.value_or(DefaultEdgeMillimetres);
  if (!r.scale) return 1.0;
  return f == ExportFormat::Obj ? *r.scale : *r.scale / 1000.0;
}

}  // namespace kelmor
