// The writer's frame: which files, under which names, in which order, and its failures.
#include "output/writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/private_file.h"
#include "output_rig.h"
#include "support/file_text.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

struct WriterRig : OutputRig {
  WriterRig() : OutputRig(Cube(), "model") {
    PlaceCube(*this);
    BuildEdges();
    for (const char* key : {"vsol", "vanm", "vfrm", "vswt", "vcyl", "voff"}) session.prefs.set(key, "0");
  }
  std::vector<std::string> Write() {
    OutputCall call(run);
    WriteOutputFiles(call);
    std::vector<std::string> names;
    for (const std::string& path : call.written) names.push_back(fs::path(path).filename().string());
    return names;
  }
};

TEST(Writer, WeakenAugmentSmoothAndStressMapNameTheFilesOfBothPasses) {
  WriterRig rig;
  fs::path dir = rig.Folder();
  rig.session.prefs.set("vsol", "1");
  rig.session.prefs.set("voff", "1");
  RunOptions& o = rig.session.options;
  o.Weaken = 1;
  o.WeakenLimit = "3";
  o.Augment = 1;
  o.Smooth = 1;
  o.SmoothAngle = "0.5";
  o.StressMap = 1;
  EXPECT_EQ(rig.Write(), (std::vector<std::string>{"model_weaken3.off", "model_solid_weaken3_aug_smooth.wrl",
                                                   "model_solid_weaken3_stress_aug_smooth.wrl"}));
  EXPECT_EQ(rig.run.StressPass, 1);
  EXPECT_EQ(rig.run.filesWritten, 1);
  EXPECT_NE(ReadAll(dir / "model_solid_weaken3_aug_smooth.wrl").find("      creaseAngle 0.5\r\n"),
            std::string::npos);
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_NE(entry.path().extension(), ".part") << entry.path();
}

TEST(Writer, EveryKindInItsOrderWithItsKindText) {
  WriterRig rig;
  rig.Folder();
  for (const char* key : {"vsol", "vanm", "vfrm", "vswt", "vcyl", "voff"}) rig.session.prefs.set(key, "1");
  rig.session.prefs.set("sfrm", " ");
  rig.session.prefs.set("scyl", "");
  rig.session.prefs.set("sanm", "moving");
  EXPECT_EQ(rig.Write(), (std::vector<std::string>{"model.off", "model_solid.wrl", "model_moving.wrl",
                                                   "model.wrl", "model_switch.wrl", "model.wrl"}));
}

TEST(Writer, SegmentedModelWritesNoneOfTheSingleModelFiles) {
  WriterRig rig;
  fs::path dir = rig.Folder();
  rig.session.prefs.set("vsol", "1");
  rig.run.model.SegmentCount = 2;
  // The first of two segments starts the segment file alone; it stays under its temporary
  // name until the last segment is done, so nothing counts as written yet.
  EXPECT_EQ(rig.Write(), std::vector<std::string>{});
  EXPECT_EQ(rig.run.filesWritten, 0);
  ASSERT_TRUE(rig.run.SegmentFileBuilt);
  EXPECT_EQ(rig.run.SegmentFileBuilt->target(), dir / "model.wrl");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(Writer, MissingFolderRaises76NamingTheFile) {
  WriterRig rig;
  rig.session.prefs.set("voff", "1");
  rig.run.OutputDir = (fs::temp_directory_path() / "kelmor_no_such_folder" / "deeper").string();
  try {
    WriteOutputFiles(rig.run);
    FAIL() << "no error";
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrPathNotFound);
  }
  EXPECT_EQ(rig.run.CurrentFileName, (fs::path(rig.run.OutputDir) / "model.off").string());
  EXPECT_EQ(rig.run.filesWritten, 0);
}

TEST(Writer, ANameTooLongForTheFolderFailsBeforeAnyFileOfTheCallMoves) {
  // An isomorph's longer name can pass the run-start check and still be too long: the
  // OFF file (name 250 bytes) is complete before the solid file (256 bytes) fails.
  WriterRig rig;
  fs::path dir = rig.Folder();
  for (const char* key : {"voff", "vsol"}) rig.session.prefs.set(key, "1");
  rig.run.OutputName = std::string(246, 'c');
  std::ofstream(dir / (rig.run.OutputName + ".off")) << "old";
  try {
    WriteOutputFiles(rig.run);
    FAIL() << "no error";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.errnum(), ENAMETOOLONG);
    EXPECT_EQ(e.path(), (dir / (rig.run.OutputName + "_solid.wrl")).string());
  }
  EXPECT_EQ(rig.run.filesWritten, 0);
  EXPECT_EQ(ReadAll(dir / (rig.run.OutputName + ".off")), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(Writer, CountsCallsThatWroteAndBeepsThreeTimesWhenAsked) {
  WriterRig rig;
  rig.Folder();
  rig.session.prefs.set("vsol", "1");
  rig.session.prefs.set("vfrm", "1");
  rig.session.prefs.set("beep", "1");
  WriteOutputFiles(rig.run);
  WriteOutputFiles(rig.run);
  EXPECT_EQ(rig.run.filesWritten, 2);
  EXPECT_EQ(rig.host.beeps, 6);
}

TEST(Writer, AColourNeedingClipIsReportedAtEachConversion) {
  const std::string clipped = "Red value in Highlight Colour Colour clipped at 255";
  auto reports = [&](std::initializer_list<const char*> files) {
    WriterRig rig;
    rig.Folder();
    for (const char* key : {"vsol", "vfrm", "voff", "vanm", "vswt", "vcyl"}) rig.session.prefs.set(key, "0");
    for (const char* key : files) rig.session.prefs.set(key, "1");
    rig.session.prefs.set("clph", "300.0.0");  // the highlight colour: entries 2 and 29, the OFF list
    WriteOutputFiles(rig.run);
    return rig.host.count(clipped);
  };
  const int solid = reports({"vsol"}), off = reports({"voff"});
  EXPECT_GE(solid, 1);
  EXPECT_GE(off, 1);
  // Two files carrying the colour convert it more often than either alone, and every
  // conversion reports: nothing is saved up for the rest of the call.
  EXPECT_GT(reports({"vsol", "voff"}), std::max(solid, off));
  EXPECT_GT(reports({"vsol", "vfrm"}), solid);
}

TEST(Writer, OrientsOnlyWhenTheInputHasOrientationFlags) {
  WriterRig rig;
  rig.Folder();
  rig.session.prefs.set("voff", "1");
  rig.run.model.VertexFlags[0] = "R";  // at negative x: would mirror
  WriteOutputFiles(rig.run);
  EXPECT_EQ(rig.run.model.PosX[0], -0.5);
  rig.run.model.FtrFlagsSeen = 1;
  WriteOutputFiles(rig.run);
  EXPECT_EQ(rig.run.model.PosX[0], 0.5);
}

TEST(Writer, RhombusColoursFollowTheOverride) {
  WriterRig rig;
  rig.session.prefs.set("rclo", "1");
  rig.run.relax.DiagShort1 = std::sqrt(2.0);
  rig.run.relax.DiagShort2 = 1.2;
  rig.run.relax.DiagShort3 = 1.2;
  OutputCall call(rig.run);
  AdjustRhombusColours(call);
  EXPECT_EQ(call.palette.Text("rcl1"), rig.session.prefs.text("clp4"));
  EXPECT_EQ(call.palette.Text("rcl2"), rig.session.prefs.text("rcl2"));
  EXPECT_EQ(call.palette.Text("rcl3"), rig.session.prefs.text("rcl2"));

  WriterRig off;
  off.run.relax.DiagShort1 = std::sqrt(2.0);
  OutputCall plain(off.run);
  AdjustRhombusColours(plain);
  EXPECT_EQ(plain.palette.Text("rcl1"), off.session.prefs.text("rcl1"));
}

}  // namespace
}  // namespace kelmor::testing
