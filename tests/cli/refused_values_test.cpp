// Option values no run could mean are refused before anything is read or written: exit 2,
// one line naming the option and saying what it takes, readable numbers, no model file.
// Through the real executable, each run guarded against hanging.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/kelmor_child.h"
#include "support/test_names.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

struct Refusal {
  const char* name;
  std::vector<std::string> args;  // after "run CUBE" (or the whole line when it starts with "shape"/"prefs")
  const char* names;              // what standard error must name
};

std::vector<Refusal> Refusals() {
  return {
      // Stop rules of 0 or non-finite were taken as "no limit" and never ended.
      {"time_limit_zero", {"--time-limit", "0"}, "--time-limit"},
      {"time_limit_nan", {"--time-limit", "nan"}, "--time-limit"},
      {"time_limit_inf", {"--time-limit", "inf"}, "--time-limit"},
      {"time_limit_negative", {"--time-limit", "-1"}, "--time-limit"},
      {"time_limit_beyond_doubles", {"--time-limit", "1e400"}, "--time-limit"},
      {"max_attempts_zero", {"--max-attempts", "0"}, "--max-attempts"},
      {"max_iterations_zero", {"--max-iterations", "0"}, "--max-iterations"},
      {"max_attempts_past_int", {"--max-attempts", "2147483648"}, "--max-attempts"},
      // Windows too short to see a solving attempt fall stall every attempt for ever.
      {"stall_one", {"--stall", "1"}, "--stall"},
      {"stall_two", {"--stall", "2"}, "--stall"},
      {"stall_ten", {"--stall", "10"}, "--stall"},
      {"stall_below_shortest", {"--stall", "299"}, "--stall"},
      // The angle is copied into the VRML files as it stands.
      {"smooth_nan", {"--smooth", "nan"}, "--smooth"},
      {"smooth_negative", {"--smooth", "-5"}, "--smooth"},
      {"smooth_inf", {"--smooth", "inf"}, "--smooth"},
      {"smooth_words", {"--smooth", "steep"}, "--smooth"},
      {"smooth_angle_set", {"--set", "SmoothAngle=nan"}, "SmoothAngle"},
      // Values the run would overflow on are refused by their range.
      {"background_beyond_doubles", {"--pref", "colb=1e309"}, "colb"},
      {"colour_part_beyond_doubles", {"--pref", "clp3=0.1e309.0"}, "clp3"},
      {"strength_beyond_doubles", {"--pref", "f001=1e309"}, "f001"},
      {"global_limit_beyond_doubles", {"--set", "GlobLim=1e309"}, "GlobLim"},
      {"global_limit_past_16_bits", {"--set", "GlobLim=40000"}, "GlobLim"},
      {"global_limit_option", {"--global-limit", "1e309"}, "--global-limit"},
      {"weaken_beyond_doubles", {"--weaken", "1e309"}, "--weaken"},
      {"augment_past_16_bits", {"--augment", "99999/2"}, "--augment"},
      {"highlight_beyond_doubles", {"--highlight", "1e309"}, "--highlight"},
      {"rhombus_beyond_doubles", {"--set", "ForceRhom2=1e309"}, "ForceRhom2"},
      {"selected_faces_past_16_bits", {"--set", "SelectFace=5/40000"}, "SelectFace"},
      {"segment_offset_beyond_doubles", {"--set", "SegX3=-1e309"}, "SegX3"},
      {"band_length_beyond_doubles", {"--set", "BandLen=1e999"}, "BandLen"},
      // An empty shell variable must not select the program-wide kelmor.ini.
      {"settings_empty", {"--settings", ""}, "--settings"},
      {"prefs_settings_empty", {"prefs", "--settings", "", "--save"}, "--settings"},
      // Shapes over sizes no face can have, or that never close into a polygon.
      {"polygon_step_zero", {"shape", "polygon", "3/0"}, "shape"},
      {"polygon_step_missing", {"shape", "polygon", "3/"}, "shape"},
      {"polygon_two_slashes", {"shape", "polygon", "3//2"}, "shape"},
      {"pyramid_step_equal", {"shape", "pyramid", "3/3"}, "shape"},
      {"prism_of_one", {"shape", "prism", "1"}, "shape"},
      {"antiprism_of_one", {"shape", "antiprism", "1"}, "shape"},
      {"antiprism_negative_step", {"shape", "antiprism", "5/-2"}, "shape"},
      {"prism_folded_flat", {"shape", "prism", "4/2"}, "shape"},
      {"polygon_sharing_factor", {"shape", "polygon", "6/2"}, "shape"},
      {"polygon_41", {"shape", "polygon", "41"}, "shape"},
      {"pyramid_too_wide", {"shape", "pyramid", "7"}, "shape pyramid"},
      {"pyramid_star_too_wide", {"shape", "pyramid", "13/2"}, "shape pyramid"},
      {"polygon_32768", {"shape", "polygon", "32768"}, "shape"},
      {"pyramid_100000", {"shape", "pyramid", "100000"}, "shape"},
      {"prism_32768", {"shape", "prism", "32768"}, "shape"},
      {"prism_past_int", {"shape", "prism", "2147483648"}, "shape"},
      {"antiprism_100000", {"shape", "antiprism", "100000"}, "shape"},
      {"polygon_step_40000", {"shape", "polygon", "7/40000"}, "shape"},
      {"pyramid_step_40000", {"shape", "pyramid", "7/40000"}, "shape"},
      {"prism_step_40000", {"shape", "prism", "7/40000"}, "shape"},
      {"antiprism_step_40000", {"shape", "antiprism", "7/40000"}, "shape"},
      {"prism_fraction", {"shape", "prism", "5.5"}, "shape"},
      {"prism_nan", {"shape", "prism", "nan/2"}, "polygon size"},
      {"prism_not_ascii", {"shape", "prism", "\xd9\xa5"}, "polygon size"},
      // A batch's own counts, once written out as a 309-digit range.
      {"batch_jobs_beyond_doubles", {"batch", "--jobs", "1e309"}, "--jobs"},
      {"batch_jobs_negative", {"batch", "--jobs", "-1"}, "--jobs"},
      {"batch_jobs_past_int", {"batch", "--jobs", "99999999999999999999"}, "--jobs"},
      {"batch_jobs_fraction", {"batch", "--jobs", "1.5"}, "--jobs"},
      {"batch_heartbeat_beyond_doubles", {"batch", "--heartbeat", "1e309"}, "--heartbeat"},
  };
}

class RefusedValues : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedValues, ExitTwoNamingTheOptionWithNothingWritten) {
  const Refusal& c = GetParam();
  KelmorChild kelmor(std::string("refused_") + c.name);
  std::vector<std::string> args = c.args;
  if (args[0] == "shape")
    args.insert(args.end(), {"--out", kelmor.out(), "--quiet"});
  else if (args[0] == "batch")
    args.insert(args.begin() + 1, {kelmor.cube(), "--out", kelmor.out(), "--quiet"});
  else if (args[0] != "prefs")
    args.insert(args.begin(), {"run", kelmor.cube(), "--out", kelmor.out(), "--quiet"});
  ChildResult r = kelmor(args);
  ASSERT_EQ(CrashSigns(r), "");
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(c.names), std::string::npos) << r.err;
  EXPECT_LT(r.err.size(), 400u) << "not a line a person reads: " << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(fs::is_empty(kelmor.out()));
  if (c.args[0] == "prefs") EXPECT_FALSE(fs::exists(kelmor.ini())) << "a settings file was written";
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedValues, ::testing::ValuesIn(Refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

// The limits' words give numbers as people write them, and the values just inside the
// limits are taken.
TEST(RefusedValueWords, BoundsAreWrittenReadablyAndTheValuesInsideThemRun) {
  KelmorChild kelmor("refused_words");
  ChildResult r = kelmor({"run", kelmor.cube(), "--quiet", "--time-limit", "-1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(CrashSigns(r), "");
  EXPECT_NE(r.err.find("above 0"), std::string::npos) << r.err;
  r = kelmor({"run", kelmor.cube(), "--quiet", "--set", "SegX1=1e309"});
  EXPECT_NE(r.err.find("1.79769e+308"), std::string::npos) << r.err;

  for (const std::vector<std::string>& inside :
       {std::vector<std::string>{"--stall", "300"}, {"--smooth", "180"}, {"--set", "GlobLim=32767"},
        {"--pref", "colb=255.255.255"}, {"--time-limit", "0.5"}, {"--max-attempts", "1"}}) {
    std::vector<std::string> args = {"run", kelmor.cube(), "--quiet", "--seed", "1", "--out", kelmor.out()};
    args.insert(args.end(), inside.begin(), inside.end());
    r = kelmor(args);
    EXPECT_EQ(CrashSigns(r), "") << inside[0];
    EXPECT_NE(r.status, 2) << inside[0] << " " << inside[1] << "\n" << r.err;
  }
}

// The shapes at the edges of what is taken are built and solved.
TEST(RefusedValueWords, ShapesAtTheLimitsSolve) {
  KelmorChild kelmor("refused_shapes");
  for (const std::vector<std::string>& shape :
       {std::vector<std::string>{"pyramid", "6"}, {"pyramid", "11/2"}, {"pyramid", "5/4"}, {"antiprism", "5/3"},
        {"prism", "40"}, {"polygon", "3"}}) {
    ChildResult r = kelmor({"shape", shape[0], shape[1], "--out", kelmor.out(), "--quiet", "--seed", "1",
                            "--time-limit", "15"});
    EXPECT_EQ(CrashSigns(r), "") << shape[0] << " " << shape[1];
    EXPECT_EQ(r.status, 0) << shape[0] << " " << shape[1] << "\n" << r.err;
  }
}

}  // namespace
}  // namespace kelmor::testing
