#include "export/mesh_files.h"

#include <minizip/unzip.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace kelmor {

namespace fs = std::filesystem;

ReadMesh ReadBinaryStl(const fs::path& path) {
  ReadMesh m;
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 84) {
    m.error = "shorter than an STL header";
    return m;
  }
  uint32_t count = 0;
  std::memcpy(&count, bytes.data() + 80, 4);
  if (bytes.size() != 84 + 50ull * count) {
    m.error = "size does not match " + std::to_string(count) + " triangles";
    return m;
  }
  for (uint32_t t = 0; t < count; ++t) {
    const char* rec = bytes.data() + 84 + 50ull * t;
    std::array<int, 3> tri{};
    for (int k = 0; k < 3; ++k) {
      float v[3];
      std::memcpy(v, rec + 12 + 12 * k, 12);
      tri[static_cast<size_t>(k)] = static_cast<int>(m.points.size());
      m.points.push_back({v[0], v[1], v[2]});
    }
    m.triangles.push_back(tri);
  }
  return m;
}

std::string Read3mfModel(const fs::path& path) {
  unzFile zip = unzOpen64(path.string().c_str());
  if (!zip) return "";
  std::string text;
  if (unzLocateFile(zip, "3D/3dmodel.model", 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
    char buffer[65536];
    int got;
    while ((got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    unzCloseCurrentFile(zip);
  }
  unzClose(zip);
  return text;
}

ReadMesh Read3mf(const fs::path& path) {
  ReadMesh m;
  std::string text = Read3mfModel(path);
  if (text.empty()) {
    m.error = "no 3D/3dmodel.model in the package";
    return m;
  }
  static const std::regex vertex(R"re(<vertex x="([^"]+)" y="([^"]+)" z="([^"]+)"/>)re");
  static const std::regex triangle(R"re(<triangle v1="(\d+)" v2="(\d+)" v3="(\d+)" pid="1" p1="(\d+)"/>)re");
  for (std::sregex_iterator it(text.begin(), text.end(), vertex), end; it != end; ++it)
    m.points.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3])});
  for (std::sregex_iterator it(text.begin(), text.end(), triangle), end; it != end; ++it) {
    std::array<int, 3> tri{std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3])};
    for (int v : tri)
      if (v < 0 || static_cast<size_t>(v) >= m.points.size()) m.error = "triangle corner out of range";
    m.triangles.push_back(tri);
    m.material.push_back(std::stoi((*it)[4]));
  }
  return m;
}

int RunTool(const std::string& command, const fs::path& dir, std::string& output) {
  fs::path home = dir / "home";
  for (const char* sub : {"", "config", "cache", "data", "runtime"}) fs::create_directories(home / sub);
  fs::permissions(home / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  fs::path log = dir / "tool_output.txt";
  std::string full = "env HOME='" + home.string() + "' XDG_CONFIG_HOME='" + (home / "config").string() +
                     "' XDG_CACHE_HOME='" + (home / "cache").string() + "' XDG_DATA_HOME='" +
                     (home / "data").string() + "' XDG_RUNTIME_DIR='" + (home / "runtime").string() + "' " +
                     command + " > '" + log.string() + "' 2>&1 < /dev/null";
  int status = std::system(full.c_str());
  std::ifstream in(log);
  std::stringstream ss;
  ss << in.rdbuf();
  output = ss.str();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ValidateGltf(const std::vector<fs::path>& files, const fs::path& dir, std::string& output) {
  fs::path validator = fs::path(KELMOR_TOOLS_DIR) / "node_modules" / "gltf-validator";
  if (!fs::exists(validator) || std::system("command -v node > /dev/null 2>&1") != 0) return -1;
  std::ofstream(dir / "validate.js") << "const v = require('" << validator.string() << "');\n"
                                     << "const fs = require('fs');\n"
                                     << "(async () => { let bad = 0;\n"
                                     << "  for (const f of process.argv.slice(2)) {\n"
                                     << "    const r = await v.validateBytes(new Uint8Array(fs.readFileSync(f)));\n"
                                     << "    const n = r.issues.numErrors + r.issues.numWarnings;\n"
                                     << "    if (n) { bad++; console.log(f, JSON.stringify(r.issues.messages)); }\n"
                                     << "  }\n  process.exit(bad); })();\n";
  std::string names;
  for (const fs::path& f : files) names += " '" + f.string() + "'";
  return RunTool("node '" + (dir / "validate.js").string() + "'" + names, dir, output);
}

}  // namespace kelmor
