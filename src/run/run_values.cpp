#include "run/run_values.h"

#include <cstring>

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "input/shape.h"
#include "model/geometry.h"
#include "model/numtext.h"
#include "run/error_handler.h"
#include "run/run.h"

namespace kelmor {

RhombusValue ComputeRhombus(const std::string& text) {
  RhombusValue r;
  if (text == "r30" || text == "R30") {
    r.angle = std::atan(2.0);
  } else if (text == "mr30" || text == "MR30") {
    r.angle = std::atan(std::sqrt(0.8));
  } else if (text == "r12" || text == "R12") {
    r.angle = 2 * std::atan(std::sqrt(0.5));
  } else if (text.size() > 1 && (text[0] == 'P' || text[0] == 'p')) {
    NdValue nd = ReadNd(text.substr(1));
    double q = nd.d != 0 ? static_cast<double>(nd.n) / nd.d : 0.0;
    r.angle = q != 0 ? (q - 2) * Pi / q : 0.0;
  } else {
    r.angle = ReadNumber(text) * DegToRad;
  }
  if (r.angle > 0) {
    double s = 2 * std::sin(r.angle / 2);
    double l = std::sqrt(std::max(0.0, 4 - s * s));
    r.longDiag = std::max(s, l);
    r.shortDiag = std::min(s, l);
  }
  return r;
}

void ReadRhombusSets(Run& run) {
  const RunOptions& o = run.session.options;
  const std::string* texts[4] = {nullptr, &o.ForceRhom, &o.ForceRhom2, &o.ForceRhom3};
  for (int k = 1; k <= 3; ++k) {
    RhombusValue r = ComputeRhombus(*texts[k]);
    run.RhombusAngle[k] = r.angle;
    run.RhombusLong[k] = r.longDiag;
    run.RhombusShort[k] = r.shortDiag;
  }
}

std::string BaseNameOf(const std::string& fileName) {
  // An input written conway:EXPR is named after its expression.
  if (fileName.rfind(ConwayInputPrefix, 0) == 0) return fileName.substr(std::strlen(ConwayInputPrefix));
  size_t dot = fileName.find('.');
  return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

namespace {

uint64_t SecondsSinceMidnight() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return static_cast<uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

}  // namespace

void ReadRunStart(Run& run) {
  Session& s = run.session;
  const RunOptions& o = s.options;
  run.rng.seed(s.seed ? *s.seed : SecondsSinceMidnight());

  run.LabelVertices = 0;
  run.AllowCoincident = 0;
  run.model.FtrFlagsSeen = 0;
  run.model.EdgeCount = 1;

  namespace fs = std::filesystem;
  if (!s.input.InFile.empty()) {
    run.InputDir = s.input.InDir;
    run.InputName = (fs::path(s.input.InDir) / s.input.InFile).string();
    run.OutputDir = s.input.OutSame ? s.input.InDir : s.input.OutDir;
    run.BaseName = BaseNameOf(s.input.InFile);
  }
  if (s.special.any()) {
    // The shape names the run; known now so that the debug file carries its name.
    run.OutputDir = s.input.OutSame ? s.input.InDir : s.input.OutDir;
    run.BaseName = ShapeBaseName(s.special);
  }
  run.OutputName = run.BaseName;

  run.DebugOn = Ticked(o.Debug) ? 1 : 0;
  run.debug.Off();
  if (run.DebugOn) {
    std::string path = (fs::path(run.OutputDir) / (run.BaseName + "_debug.txt")).string();
    run.CurrentFileName = path;
    // A debug file that cannot be made is reported here and the run goes on without it:
    // the statements after this one still set the strengths and the options.
    GuardedStep(run, [&] { run.debug.Create(path); });
  }

  run.FrameValue = s.prefs.number("fram");
  run.FrameFraction = run.FrameValue * 0.01;
  static const char* forceKeys[7] = {"", "f001", "f002", "f003", "f004", "f005", "f006"};
  for (int i = 1; i <= 6; ++i) run.Strength[i] = s.prefs.number(forceKeys[i]);

  run.UserdataMode = Ticked(o.Userdata) ? "Y" : "";
  run.LabelVertices = Ticked(o.Labelling) ? 1 : 0;
  run.RunMode = Ticked(o.Once) ? 1 : 0;
  if (Ticked(o.Weaken) && Ticked(o.Once)) {
    run.RunMode = 3;
    run.WeakenLimitValue = ReadNumber(o.WeakenLimit);
  } else {
    run.WeakenLimitValue = 99;
  }
  run.IsomorphDetect = Ticked(o.Isomorph) ? 1 : 0;
  run.AugmentMode = Ticked(o.Augment) ? 1 : 0;
  run.AllowCoincident = Ticked(o.Coincidence) ? 1 : 0;
  run.HighlightMode = Ticked(o.Highlight) ? 1 : 0;
  run.GraphicsOn = 1.0;
  run.ScreenSize = s.prefs.number("scrn");

  if (o.Segments == "None") {
    run.model.SegmentCount = 1;
  } else {
    // "Segments " and the count: the number in characters 10 and 11.
    std::string digits = o.Segments.size() > 9 ? o.Segments.substr(9, 2) : std::string();
    run.model.SegmentCount = RoundInt16(ReadNumber(digits));
    run.RunMode = 1;
  }
  if (run.model.SegmentCount > MaxSegments) raiseError(ErrSubscript);
  for (int i = 1; i <= run.model.SegmentCount; ++i) {
    double len = ReadNumber(o.SegEdge[i]);
    run.SegmentEdgeLength[i] = len == 0 ? 0.00001 : len;
    run.SegmentOffset[1][i] = ReadNumber(o.SegX[i]);
    run.SegmentOffset[2][i] = ReadNumber(o.SegY[i]);
    run.SegmentOffset[3][i] = ReadNumber(o.SegZ[i]);
  }
  if (run.RunMode == 0) run.RunMode = 2;
  run.model.SegmentIndex = 1;
  run.model.RealmCount = 1;
}

}  // namespace kelmor
