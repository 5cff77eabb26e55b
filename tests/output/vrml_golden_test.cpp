// The exact text of the solid, frame and OFF files of three hand-placed models.
#include <gtest/gtest.h>

#include "output/off_writer.h"
#include "output/vrml_files.h"
#include "output_rig.h"
#include "support/golden_file.h"

namespace kelmor::testing {
namespace {

void ExpectFiles(OutputRig& rig, const std::string& name) {
  EXPECT_TRUE(MatchesGolden(name + "_solid.wrl", rig.Text(WriteSolidFile)));
  EXPECT_TRUE(MatchesGolden(name + "_frame.wrl", rig.Text(WriteFrameFile)));
  EXPECT_TRUE(MatchesGolden(name + ".off", rig.Text(WriteOffFile)));
  EXPECT_TRUE(rig.host.messages.empty()) << rig.host.messages.front();
}

TEST(VrmlGolden, Cube) {
  OutputRig rig(Cube(), "cube");
  PlaceCube(rig);
  rig.BuildEdges();
  ExpectFiles(rig, "cube");
}

TEST(VrmlGolden, PentagrammicPrism) {
  OutputRig rig(PentagrammicPrism(), "pentagrammic_prism");
  PlacePentagrammicPrism(rig);
  rig.BuildEdges();
  ExpectFiles(rig, "pentagrammic_prism");
}

// Vertices from 5 up; a frame face, a blank face, a transparent face, a face with
// highlighted edges, a frame face kept whole by "s", a transparent square drawn as a fan;
// one marked highlight edge; edges drawn as lines.
TEST(VrmlGolden, FramesBlanksTransparencyAndHighlightEdges) {
  OutputRig rig(Cube(5, {"f", "B", "t", "E", "fs", "tn"}), "mixed");
  rig.run.model.FaceTSeen = 1;
  rig.MarkEdge(5, 9, 1);
  PlaceCube(rig, 5);
  rig.BuildEdges();
  rig.session.prefs.set("edge", "1");
  ExpectFiles(rig, "mixed");
}

}  // namespace
}  // namespace kelmor::testing
