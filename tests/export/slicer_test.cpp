// The printed files as a printer meets them: PrusaSlicer slices every example's solid and
// a representative set of strut models at its default settings without a warning and at
// the model's size, and ADMesh finds every STL closed with each facet's own normal. Skipped, with
// the reason, when the programs are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "export/mesh_files.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

bool Have(const std::string& program) {
  return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

struct Box {
  Vec3 low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
  void Add(Vec3 p) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  Vec3 Size() const { return high - low; }
};

// Where the G-code puts plastic, skirt, brim and the start code left out: each extrusion's
// centre line widened by half its width (";WIDTH:", which PrusaSlicer writes before a
// change). Sloping sides and sharp corners still print a little under the model.
Box ExtrusionBox(const fs::path& gcode) {
  std::ifstream in(gcode);
  std::string line, type;
  double x = 0, y = 0, z = 0, e = 0, width = 0;
  Box box;
  static const std::regex word(R"(([XYZEF])(-?[0-9.]+))");
  while (std::getline(in, line)) {
    if (line.rfind(";TYPE:", 0) == 0) type = line.substr(6);
    if (line.rfind(";WIDTH:", 0) == 0) width = std::stod(line.substr(7));
    if (line.rfind("G92", 0) == 0 && line.find('E') != std::string::npos) e = 0;
    if (line.rfind("G1 ", 0) != 0) continue;
    std::string code = line.substr(0, line.find(';'));
    double nx = x, ny = y, ne = e;
    for (std::sregex_iterator it(code.begin(), code.end(), word), end; it != end; ++it) {
      double v = std::stod((*it)[2]);
      switch ((*it)[1].str()[0]) {
        case 'X':
          nx = v;
          break;
        case 'Y':
          ny = v;
          break;
        case 'Z':
          z = v;
          break;
        case 'E':
          ne = v;
          break;
        default:
          break;
      }
    }
    if (ne > e && (nx != x || ny != y) && type != "Skirt/Brim" && type != "Skirt" &&
        type != "Custom") {
      const double half = width / 2;
      for (Vec3 p : {Vec3{x, y, z}, Vec3{nx, ny, z}}) {
        box.Add({p.x - half, p.y - half, z});
        box.Add({p.x + half, p.y + half, z});
      }
    }
    x = nx, y = ny, e = ne;
  }
  return box;
}

Box ModelBox(const fs::path& file) {
  ReadMesh m = file.extension() == ".stl" ? ReadBinaryStl(file) : Read3mf(file);
  Box box;
  for (const Vec3& p : m.points) box.Add(p);
  return box;
}

// One number of ADMesh's report ("Normals fixed : 12" gives 12; -1 when missing).
int AdmeshCount(const std::string& report, const std::string& label) {
  std::smatch m;
  if (!std::regex_search(report, m, std::regex(label + R"(\s*:\s*(\d+))"))) return -1;
  return std::stoi(m[1]);
}

// Every example the issue of printing covers: the solids of examples/ and examples/stars
// and four solids of the shape command with star and plain faces.
class PrintedModels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A folder of its own: ctest runs each test of the suite in its own process, at once.
    dir_ = fs::temp_directory_path() / ("kelmor_printed_models_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::path examples = fs::path(KELMOR_SOURCE_DIR) / "examples";
    std::vector<std::vector<std::string>> runs;
    for (const fs::path& folder : {examples, examples / "stars"})
      for (const auto& entry : fs::directory_iterator(folder)) {
        std::string stem = entry.path().stem().string();
        if (entry.path().extension() != ".txt" || stem == "segments" || stem == "realms") continue;
        runs.push_back({"run", entry.path().string()});
      }
    for (const char* shape : {"pyramid 5", "antiprism 5/2", "prism 8/3", "prism 5/2"}) {
      std::istringstream words(shape);
      std::string kind, n;
      words >> kind >> n;
      runs.push_back({"shape", kind, n});
    }
    for (auto& args : runs) {
      args.insert(args.end(),
                  {"--out", dir_.string(), "--export", "stl,3mf", "--settings",
                   (dir_ / "kelmor.ini").string(), "--seed", "7", "--quiet", "--answer", "no"});
      std::ostringstream out, err;
      int status = RunCli(args, out, err);
      runLog_ += args[1] + " " + args[2] + ": " + std::to_string(status) + " " + err.str();
    }
    for (const auto& entry : fs::directory_iterator(dir_))
      if (entry.path().extension() == ".stl" || entry.path().extension() == ".3mf")
        files_.push_back(entry.path());
    std::sort(files_.begin(), files_.end());
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static fs::path dir_;
  static std::vector<fs::path> files_;
  static std::string runLog_;
};

fs::path PrintedModels::dir_;
std::vector<fs::path> PrintedModels::files_;
std::string PrintedModels::runLog_;

TEST_F(PrintedModels, EveryExampleWritesASolidAndAStrutModel) {
  // 20 examples and 4 shapes, each a solid and a strut model in STL and 3MF.
  EXPECT_EQ(files_.size(), 24u * 4) << runLog_;
  EXPECT_EQ(runLog_.find("not a closed solid"), std::string::npos) << runLog_;
  EXPECT_EQ(runLog_.find("faces coded B"), std::string::npos) << runLog_;
}

TEST_F(PrintedModels, PrusaSlicerSlicesEveryFileCleanlyAtItsSize) {
  if (!Have("prusa-slicer"))
    GTEST_SKIP() << "prusa-slicer is not installed (Debian package prusa-slicer): not sliced";
  // Two slicers at a time; each writes its G-code, its messages and its exit status.
  // Every solid; the strut models, each a few hundred shells that take a slicer ten to
  // fifty times as long as a solid, of a plain, a star, a snub and the largest example.
  const std::set<std::string> strutModels = {
      "tetrahedron_struts", "cube_struts",
      "snub_cube_struts",   "small_stellated_dodecahedron_struts",
      "prism5-2_struts",    "truncated_icosidodecahedron_struts"};
  std::vector<fs::path> sliced;
  for (const fs::path& f : files_)
    if (f.stem().string().find("_struts") == std::string::npos ||
        strutModels.count(f.stem().string()))
      sliced.push_back(f);
  ASSERT_EQ(sliced.size(), (24u + strutModels.size()) * 2);
  std::ofstream list(dir_ / "to_slice.txt");
  for (const fs::path& f : sliced) list << f.string() << "\n";
  list.close();
  std::string output;
  RunTool("xargs -a '" + (dir_ / "to_slice.txt").string() +
              "' -P 2 -I{} sh -c 'prusa-slicer --export-gcode --output \"{}.gcode\" \"{}\" > "
              "\"{}.log\" 2>&1; "
              "echo $? > \"{}.status\"'",
          dir_, output);
  for (const fs::path& f : sliced) {
    std::ifstream statusFile(f.string() + ".status"), logFile(f.string() + ".log");
    int status = -1;
    statusFile >> status;
    std::stringstream log;
    log << logFile.rdbuf();
    std::string text = log.str();
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(status, 0) << f.filename() << "\n"
                         << text.substr(text.size() > 2000 ? text.size() - 2000 : 0);
    for (const char* warning : {"first layer", "empty layer", "manifold", "repaired", "errors"})
      EXPECT_EQ(lower.find(warning), std::string::npos) << f.filename() << ": " << warning;
    if (status != 0) continue;
    Vec3 printed = ExtrusionBox(f.string() + ".gcode").Size(), model = ModelBox(f).Size();
    EXPECT_NEAR(printed.x, model.x, 1.0) << f.filename();
    EXPECT_NEAR(printed.y, model.y, 1.0) << f.filename();
    EXPECT_NEAR(printed.z, model.z, 1.0) << f.filename();
  }
}

TEST_F(PrintedModels, AdmeshFindsEveryStlClosedWithItsOwnNormals) {
  if (!Have("admesh"))
    GTEST_SKIP() << "admesh is not installed (Debian package admesh): STL files not checked";
  for (const fs::path& f : files_) {
    if (f.extension() != ".stl") continue;
    std::string report;
    ASSERT_EQ(RunTool("admesh '" + f.string() + "'", dir_, report), 0) << report;
    for (const char* label :
         {"Total disconnected facets", "Degenerate facets", "Edges fixed", "Facets removed",
          "Facets added", "Facets reversed", "Backwards edges", "Normals fixed"})
      EXPECT_EQ(AdmeshCount(report, label), 0) << f.filename() << ": " << label;
    std::string name = f.stem().string();
    EXPECT_NE(report.find("Header             : " + name), std::string::npos)
        << f.filename() << " names itself";
  }
}

}  // namespace
}  // namespace kelmor
