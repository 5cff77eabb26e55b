#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "files/held_file.h"
#include "model/model.h"
#include "relax/relax_state.h"
#include "run/debug_file.h"
#include "run/host.h"
#include "run/session.h"
#include "topology/edge_table.h"
#include "topology/inflation_state.h"
#include "topology/polygon_tables.h"

namespace kelmor {

class PrivateFile;

// Everything one call of the run sequence works on. Reset at run start and per segment
// where the run sequence says; owned by the caller for the length of one run.
struct Run {
  Run(Session& s, Host& h) : session(s), host(h) {}

  Session& session;
  Host& host;

  Model model;
  EdgeTable edges;
  PolygonTables poly;
  InflationState infl;
  RelaxState relax;
  DebugFile debug;

  // Run-wide values.
  std::string InputDir, InputName, OutputDir, BaseName, OutputName;
  std::string VersionText;
  std::string CurrentFileName;
  int DebugOn = 0;
  double FrameValue = 3, FrameFraction = 0.03;
  std::array<double, 7> Strength{};  // rows 1..6
  double ScreenSize = 3;
  double GraphicsOn = 1.0;
  // Drawing was switched off by the model settling, not by the Graphics button: the next
  // attempt is drawn again, so that a viewer never shows an attempt that has ended.
  bool GraphicsSettledOff = false;
  int RunMode = 2;  // 1 once, 2 repeat, 3 weaken
  double WeakenLimitValue = 99;
  std::string UserdataMode;  // "Y" when user data is copied into output files
  int LabelVertices = 0, IsomorphDetect = 0, AugmentMode = 0, AllowCoincident = 0,
      HighlightMode = 0;
  int HighlightN = 0, HighlightD = 1;
  int AugmentN = 0, AugmentD = 1;
  std::string AugmentKeep, AugmentColourCode;
  std::array<double, 4> RhombusAngle{}, RhombusLong{}, RhombusShort{};  // sets 1..3
  std::array<double, 6> SegmentEdgeLength{0, 1, 1, 1, 1, 1};            // rows 1..5
  std::array<std::array<double, 6>, 4> SegmentOffset{};                  // (axis 1..3, seg 1..5)
  std::array<int, 6> SegmentPaletteIndex{0, 16, 17, 18, 19, 20};
  int NoRelaxation = 0;
  int NextSegmentPending = 0;
  int NextSegmentEntry = 0;  // 1: the parser reads only the inter-realm section
  // Set by the parser: it stopped on an input error whose message it has shown, or the
  // input ended inside the block. Either way the half-read model is neither relaxed nor
  // written, and the run ends.
  int InputStopped = 0;
  int BlockUnclosed = 0;
  int IsomorphIndex = 1;
  int StressPass = 0;        // writer: 1 on the second pass of a StressMap call
  std::string OutputDate;    // writer: date text of the file headers; empty means today
  // Segment path. The parser sets RealmSectionClosed when the inter-realm section ends
  // with "]"; the writer keeps the OFF face lines of the segments written so far (vertex
  // indices counted over the realm vertices of all segments) for the 4OFF file.
  int RealmSectionClosed = 0;
  std::vector<std::string> SegmentOffFaces;
  // The segment file being built: each segment adds to it under its temporary name, and
  // it replaces the old file only when the last segment (and the realm files) are done.
  std::shared_ptr<PrivateFile> SegmentFileBuilt;

  // Solving without the disk (the library's Solve): the input is read from InputText
  // instead of InputName, and every file the writer completes is kept in HeldFiles
  // instead of being written. Both null for a run that reads and writes files.
  const std::string* InputText = nullptr;
  std::vector<HeldFile>* HeldFiles = nullptr;
  HeldFile SegmentFileHeld;  // the segment file being built, when held

  // Results of the run, for the caller.
  int filesWritten = 0;      // calls of the writer that wrote every one of their files
  int stepsFailed = 0;       // steps cut short by an error the run resumed after (zero divide)
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

  // Uniform random number in [0, 1).
  double Rnd() { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }
  std::mt19937_64 rng{0};
};

}  // namespace kelmor
