// Labels, the animation, switchable-view and cylinder files, and the stress decorations.
#include <gtest/gtest.h>

#include <regex>

#include "output/vrml_file.h"
#include "output/vrml_files.h"
#include "output/writer.h"
#include "output_rig.h"
#include "support/golden_file.h"

namespace kelmor::testing {
namespace {

// Octahedron on the axes: vertex 4 on +z, vertex 5 on -z.
std::vector<Face> Octahedron() {
  return Plain({{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}});
}

void PlaceOctahedron(OutputRig& rig) {
  const double at[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int v = 0; v < 6; ++v) rig.Place(v, at[v][0], at[v][1], at[v][2]);
}

std::string Labels(OutputRig& rig) {
  return rig.Text([](OutputCall& call, std::ostream& os) { VrmlFile(call, os).LabelBlocks(); });
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(SceneGolden, LabelsInBillboardAndStandardStyle) {
  OutputRig rig(Octahedron(), "octahedron");
  PlaceOctahedron(rig);
  rig.session.options.Labelling = 1;
  rig.session.options.SideLab = 1;
  std::string billboard = Labels(rig);
  EXPECT_TRUE(MatchesGolden("octahedron_labels_billboard.txt", billboard));
  EXPECT_EQ(Count(billboard, "DEF App1"), 1);
  EXPECT_EQ(Count(billboard, "USE App1"), 5);
  EXPECT_EQ(Count(billboard, "DEF Fons2"), 1);
  EXPECT_EQ(Count(billboard, "USE Fons2"), 7);
  EXPECT_NE(billboard.find("      string \" 5 \"\r\n"), std::string::npos);

  rig.session.prefs.set("vlab", "0");
  std::string standard = Labels(rig);
  EXPECT_TRUE(MatchesGolden("octahedron_labels_standard.txt", standard));
  EXPECT_EQ(Count(standard, "Billboard"), 0);
  // On +z no turn is needed; on -z the text turns half round.
  EXPECT_NE(standard.find(" rotation 0.0 1.0 0.0 0.0\r\n translation 0.0 0.0 1.0\r\n"), std::string::npos);
  EXPECT_NE(standard.find(" rotation 0.0 1.0 0.0 3.14159265\r\n translation 0.0 0.0 -1.0\r\n"),
            std::string::npos);
}

TEST(SceneGolden, SwitchableViewWithTransparentFacesAndEdges) {
  OutputRig rig(Octahedron(), "octahedron");
  PlaceOctahedron(rig);
  rig.run.model.FaceCode[3] = "t";
  rig.run.model.FaceTSeen = 1;
  rig.session.prefs.set("edge", "1");
  rig.BuildEdges();
  std::string text = rig.Text(WriteSwitchFile);
  EXPECT_TRUE(MatchesGolden("octahedron_switch.wrl", text));
  EXPECT_EQ(Count(text, "USE TRANS"), 2);
  EXPECT_EQ(Count(text, "USE EDGES"), 2);

  rig.session.prefs.set("edge", "0");
  rig.run.model.FaceTSeen = 0;
  text = rig.Text(WriteSwitchFile);
  EXPECT_EQ(Count(text, "USE EDGES"), 0);
  EXPECT_EQ(Count(text, "USE TRANS"), 0);
  EXPECT_EQ(Count(text, "DEF TRANS"), 0);
}

TEST(SceneGolden, AnimationOfACubeWithOneFrameFace) {
  OutputRig rig(Cube(0, {"f"}), "cube");
  PlaceCube(rig);
  rig.BuildEdges();
  EXPECT_TRUE(MatchesGolden("cube_anim.wrl", rig.Text(WriteAnimationFile)));
}

TEST(SceneGolden, CylinderModelSharesOneCylinderAndOneBall) {
  // Blank faces 1, 2 and 3: edges 0-1 and 4-5 lie between two of them and are left out.
  OutputRig rig(Cube(0, {"B", "B", "B"}), "cube");
  PlaceCube(rig);
  rig.Place(6, 0.5, 0.5, 0.7);  // three edges whose length differs from the first one
  rig.BuildEdges();
  std::string text = rig.Text(WriteCylinderFile);
  EXPECT_TRUE(MatchesGolden("cube_cylinder.wrl", text));
  EXPECT_EQ(Count(text, "  DEF Cyl Shape {"), 1);
  EXPECT_EQ(Count(text, "\r\n  Shape {"), 3);
  EXPECT_EQ(Count(text, "    children USE Cyl\r\n"), 10 - 1 - 3);
  EXPECT_EQ(Count(text, "DEF Balls1"), 1);
  EXPECT_EQ(Count(text, "   children USE Balls1\r\n"), 7);
  EXPECT_NE(text.find("\r\n translation 0 0 0   children [\r\n"), std::string::npos);
}

TEST(SceneGolden, StressPassConesOnDistortedEdgesAndSpheresOnDistortedFaces) {
  OutputRig rig(Cube(), "cube");
  PlaceCube(rig);
  rig.Place(6, 0.5, 0.5, 0.7);        // edge 2-6 becomes 1.2, edges 5-6 and 6-7 1.0198
  rig.Place(0, -0.501, -0.5, -0.5);   // edge 0-1 becomes 1.001: under SE x 0.01, no cones
  rig.BuildEdges();
  rig.run.relax.PolyDeform = 0.3;
  rig.run.relax.FaceDeform[2] = 0.2;
  rig.run.relax.FaceDeform[4] = 0.1;
  rig.run.StressPass = 1;
  std::string text = rig.Text(WriteSolidFile);
  EXPECT_TRUE(MatchesGolden("cube_stress_solid.wrl", text));
  EXPECT_EQ(Count(text, "DEF Con Shape"), 6);
  EXPECT_EQ(Count(text, "    bottomRadius 0.2\r\n"), 2);
  EXPECT_EQ(Count(text, "         radius 0.100\r\n"), 1);  // face 2: 0.5 x 0.2
  EXPECT_EQ(Count(text, "         radius 0.050\r\n"), 1);
}

TEST(SceneGolden, ViewpointsFallBackWhenTheModelHasNoSize) {
  OutputRig rig(Cube(), "cube");  // every vertex at the origin
  rig.run.relax.ViewRadius = 0;
  rig.run.relax.ViewDistance = 0;
  rig.session.prefs.set("vscl", "1.5");
  std::string text = rig.Text([](OutputCall& call, std::ostream& os) { VrmlFile(call, os).HeaderBlock(); });
  EXPECT_NE(text.find("Viewpoint {\r\n position 0 0 3.0\r\n description \"Wide Angle\""), std::string::npos);
  EXPECT_NE(text.find(" position 0 0 15.0\r\n fieldOfView 0.15\r\n"), std::string::npos);
  EXPECT_EQ(rig.run.relax.ViewRadius, 2);
  EXPECT_EQ(rig.run.relax.ViewDistance, 10);
}

TEST(SceneGolden, EachFileDefinesItsOwnCylinder) {
  OutputRig rig(Cube(0, {"O"}), "cube");
  PlaceCube(rig);
  rig.run.model.CylinderMarks = 1;
  rig.BuildEdges();
  for (auto write : {WriteSolidFile, WriteCylinderFile, WriteFrameFile}) {
    std::string text = rig.Text(write);
    EXPECT_EQ(Count(text, "  DEF Cyl Shape {"), 1);
  }
  EXPECT_EQ(Count(rig.Text(WriteSolidFile), "    children USE Cyl\r\n"), 3);  // the four edges of face 1
}

TEST(SceneGolden, DefaultCallWritesAllSixFiles) {
  OutputRig rig(Cube(), "cube");
  PlaceCube(rig);
  rig.BuildEdges();
  rig.Folder();
  OutputCall call(rig.run);
  WriteOutputFiles(call);
  std::vector<std::string> names;
  for (const std::string& path : call.written) names.push_back(std::filesystem::path(path).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"cube.off", "cube_solid.wrl", "cube_anim.wrl", "cube_frame.wrl",
                                             "cube_switch.wrl", "cube_molecule.wrl"}));
}

}  // namespace
}  // namespace kelmor::testing
