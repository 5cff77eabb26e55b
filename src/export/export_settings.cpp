#include "export/export_settings.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace kelmor {

namespace fs = std::filesystem;

std::string ExportSettingsPath(const std::string& settingsPath) {
  return (fs::path(settingsPath).parent_path() / "kelmor-export.ini").string();
}

ExportRequest ReadExportSettings(const std::string& path, std::string* problem) {
  ExportRequest r;
  std::ifstream in(path);
  std::string line;
  int number = 0;
  auto complain = [&](const std::string& why) {
    if (problem && problem->empty()) *problem = path + " line " + std::to_string(number) + ": " + why;
  };
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    size_t eq = line.find('=');
    std::string key = line.substr(0, eq), value = eq == std::string::npos ? "" : line.substr(eq + 1);
    if (key == "formats") {
      std::vector<ExportFormat> formats;
      if (value.empty()) r.formats.clear();
      else if (auto e = ParseExportList(value, formats)) complain(*e);
      else r.formats = formats;
    } else if (key == "scale") {
      double mm = 0;
      auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), mm);
      if (value.empty()) r.scale.reset();
      else if (ec != std::errc() || end != value.data() + value.size() || !(mm > 0 && mm < 1e6))
        complain("scale takes the edge length in millimetres, not '" + value + "'");
      else r.scale = mm;
    } else {
      complain("unknown key '" + key + "'");
    }
  }
  return r;
}

std::optional<std::string> WriteExportSettings(const std::string& path, const ExportRequest& r) {
  fs::path part = path + ".part";
  {
    std::ofstream out(part, std::ios::trunc);
    out << "; Kelmor: formats written beside the VRML files by runs from the windows\n"
        << "formats=" << ExportListText(r.formats) << "\n"
        << "scale=";
    if (r.scale) {
      char text[32];
      auto res = std::to_chars(text, text + sizeof text, *r.scale);
      out.write(text, res.ptr - text);
    }
    out << "\n";
    out.close();
    if (!out) return "cannot write " + path;
  }
  std::error_code ec;
  fs::rename(part, path, ec);
  if (ec) {
    fs::remove(part, ec);
    return "cannot write " + path;
  }
  return std::nullopt;
}

}  // namespace kelmor
