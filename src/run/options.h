#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelmor {

// Check box values: 0 clear, 1 ticked, 2 greyed (does not apply to segmented input).
// Only 1 counts as ticked.
inline bool Ticked(int box) { return box == 1; }

// The values the RunTime and SegmentOptions windows hold, under their control names,
// with their design defaults. Texts stay texts: a run reads them when it needs them.
// Option groups hold the chosen button's index, -1 when none is chosen.
struct RunOptions {
  int InflateOption = 0;
  std::string GlobLim = "99";
  int LocalOption = 1;
  std::string LocInfMin1 = "0", LocInfMax1 = "1";
  std::string LocInfMin2 = "0", LocInfMax2 = "1";
  std::string LocInfMin3 = "0", LocInfMax3 = "1";
  std::string SelectFace;
  int SqrtHop = 0;
  std::string SqrtMult = "1";
  std::string BandLen = "1";
  bool BandframeEnabled = true;
  int Augment = 0;
  std::string AugmentVal = "5/2";
  int AugmentOption = -1;  // 1 leave sides, 2 remove sides, 3 leave bands
  int AugmentColour = -1;  // 0 original, 1 highlight, 2 triangle
  int Weaken = 0;
  std::string WeakenLimit = "3";
  int Once = 0;
  int Isomorph = 0;
  int Coincidence = 0;
  int XYConfine = 0;
  int Highlight = 0;
  std::string HighlightVal = "5/3";
  int HighVert = 0;
  int AllCyl = 0;
  int incord = 0;
  int StressMap = 0;
  std::string StressMult = "1", StBallMult = "1";
  int Smooth = 0;
  std::string SmoothAngle = "0";
  int RegHex = 0;
  std::string ForceRhom = "0", ForceRhom2 = "0", ForceRhom3 = "0";
  int Userdata = 0;
  int Debug = 0;
  int Labelling = 0;
  int SideLab = 0;
  std::string Segments = "None";  // caption of the Segments button

  // SegmentOptions rows 1..5 (index 0 unused).
  std::array<std::string, 6> SegEdge{"1", "1", "1", "1", "1", "1"};
  std::array<std::string, 6> SegX{"0", "0", "0", "0", "0", "0"};
  std::array<std::string, 6> SegY{"0", "0", "0", "0", "0", "0"};
  std::array<std::string, 6> SegZ{"0", "0", "0", "0", "0", "0"};
  std::array<int, 6> SegTrans{};
  std::array<int, 6> FlipX{}, FlipY{}, FlipZ{};
  // First choice of the segment colouring option: faces take their segment's colour.
  int SegColour = 0;
};

// Sets one control by its own name (SegEdge1..SegEdge5 for the indexed ones). Check
// boxes take 0, 1 or 2, option groups the button index, texts the text as given.
// Returns an error text for an unknown name or a value the control cannot hold.
std::optional<std::string> SetControl(RunOptions& options, std::string_view name,
                                      std::string_view value);
// The names SetControl accepts, in window order.
std::string ControlNames();

// The SpecialIn window: four shape options and the n/d text.
struct SpecialChoice {
  std::array<bool, 4> SpecialOption{};  // 0 polygon, 1 pyramid, 2 prism, 3 antiprism
  std::string Specialnd;
  bool any() const { return SpecialOption[0] || SpecialOption[1] || SpecialOption[2] || SpecialOption[3]; }
  void clear() { SpecialOption = {}; }
};

// What the file-selection window holds when Run is pressed.
struct InputSelection {
  std::string InDir;    // input folder
  std::string InFile;   // selected file name (empty: none)
  std::string OutDir;   // output folder
  bool OutSame = true;  // output goes to the input folder
};

}  // namespace kelmor
