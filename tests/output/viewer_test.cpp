// Every written file opens in real viewers without a complaint: view3dscene for the VRML
// files (under a virtual display), assimp for the OFF file. Skipped where they are absent.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "output/writer.h"
#include "output_rig.h"
#include "support/child_process.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

// Runs a command and returns what it printed on either stream.
std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return "could not run: " + command;
  std::array<char, 4096> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) text += buffer.data();
  int status = pclose(pipe);
  if (status != 0) text += "\n(exit status " + std::to_string(status) + ")";
  return text;
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// "env HOME=... XDG_...=... ": each viewer gets a home of its own under the test's folder,
// so that nothing depends on what ~/.config holds, and two viewers never race to create it.
std::string PrivateEnv(const fs::path& root) {
  std::string prefix = "env";
  for (const std::string& entry : PrivateHome(root)) {
    const size_t eq = entry.find('=');
    prefix += " " + entry.substr(0, eq) + "=" + Quoted(entry.substr(eq + 1));
  }
  return prefix + " ";
}

// Returns the number of VRML files checked.
int ExpectViewersAccept(const fs::path& dir) {
  int vrml = 0, off = 0;
  const std::string env = PrivateEnv(dir / "viewer_home");
  for (const auto& entry : fs::directory_iterator(dir)) {
    const fs::path& file = entry.path();
    if (file.extension() == ".wrl") {
      ++vrml;
      fs::path shot = file;
      shot.replace_extension(".png");
      std::string command =
          env + "timeout 120 xvfb-run -a view3dscene " + Quoted(file) + " --screenshot 0 " + Quoted(shot);
      std::string said = Output(command);
      // Two virtual displays started at the same moment can collide; one more try.
      if (said.find("Xvfb failed to start") != std::string::npos) said = Output(command);
      EXPECT_EQ(said, "") << file;
      EXPECT_TRUE(fs::exists(shot)) << file;
    } else if (file.extension() == ".off") {
      ++off;
      std::string said = Output(env + "timeout 120 assimp info " + Quoted(file));
      for (const char* bad : {"ERROR", "Error", "error", "Warn", "warn"})
        EXPECT_EQ(said.find(bad), std::string::npos) << file << "\n" << said;
      EXPECT_NE(said.find("Importing file ...                   OK"), std::string::npos) << said;
    }
  }
  EXPECT_GT(vrml, 0);
  EXPECT_GE(off, 1);
  return vrml;
}

class Viewers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("view3dscene") || !HaveTool("xvfb-run") || !HaveTool("assimp"))
      GTEST_SKIP() << "view3dscene, xvfb-run or assimp is not installed";
  }
};

TEST_F(Viewers, OpenEveryFileOfACube) {
  OutputRig rig(Cube(), "cube");
  PlaceCube(rig);
  rig.BuildEdges();
  fs::path dir = rig.Folder();
  WriteOutputFiles(rig.run);
  EXPECT_EQ(ExpectViewersAccept(dir), 5);  // and the OFF file: the six files of a default call
}

TEST_F(Viewers, OpenEveryFileOfAStarPrismWithLabelsSpheresAndStress) {
  OutputRig rig(PentagrammicPrism(), "prism");
  PlacePentagrammicPrism(rig);
  rig.Place(0, 0.6, 0.05, 0.55);  // some edges off their length
  rig.BuildEdges();
  rig.run.relax.PolyDeform = 0.3;
  rig.run.relax.FaceDeform[1] = 0.2;
  rig.run.relax.FaceDeform[3] = 0.1;
  rig.run.model.VertexFlags[2] = "V";
  RunOptions& o = rig.session.options;
  o.Labelling = 1;
  o.SideLab = 1;
  o.StressMap = 1;
  o.Smooth = 1;
  o.SmoothAngle = "0.5";
  fs::path dir = rig.Folder();
  WriteOutputFiles(rig.run);
  rig.session.prefs.set("vlab", "0");  // standard labels too
  rig.run.OutputName = "prism_standard";
  WriteOutputFiles(rig.run);
  ExpectViewersAccept(dir);
}

TEST_F(Viewers, OpenEveryFileOfAModelWithFramesBlanksTransparencyAndEdges) {
  OutputRig rig(Cube(5, {"fO", "B", "t", "E", "fs", "tn"}), "mixed");
  rig.run.model.FaceTSeen = 1;
  rig.run.model.CylinderMarks = 1;
  rig.run.model.CylinderMarks2 = 1;
  rig.MarkEdge(5, 9, 1);
  rig.MarkEdge(10, 11, 3);
  PlaceCube(rig, 5);
  rig.BuildEdges();
  rig.session.prefs.set("edge", "1");
  fs::path dir = rig.Folder();
  WriteOutputFiles(rig.run);
  ExpectViewersAccept(dir);
}

}  // namespace
}  // namespace kelmor::testing
