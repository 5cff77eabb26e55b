#include "api/session_from_options.h"

#include <cmath>

#include "model/numtext.h"
#include "run/validation.h"

namespace kelmor {

namespace {

constexpr const char* kShapeKinds[4] = {"polygon", "pyramid", "prism", "antiprism"};

void ApplyPreferences(Preferences& prefs, const std::map<std::string, std::string>& overrides) {
  prefs.setDefaults(".");
  for (const auto& [key, value] : overrides) {
    if (!prefs.has(key)) throw ApiError("'" + key + "' is not a preference key");
    prefs.set(key, value);
  }
}

void SetControls(RunOptions& o, const Options& options) {
  o.Once = options.mode == RunMode::Repeat ? 0 : 1;
  o.Weaken = options.mode == RunMode::Weaken ? 1 : 0;
  o.WeakenLimit = std::to_string(options.weakenLimit);
  o.InflateOption = static_cast<int>(options.inflation);
  o.GlobLim = std::to_string(options.globalLimit);
  o.Isomorph = options.isomorphByNumbering;
  o.Coincidence = options.allowCoincident;
  o.XYConfine = options.confineToXY;
  o.incord = options.inputCoordinates;
  o.StressMap = options.stressMap;
  o.Userdata = options.userdata;
  o.Labelling = options.vertexLabels;
  o.SideLab = options.faceLabels;
  if (options.smoothBelowDegrees) {
    if (!std::isfinite(*options.smoothBelowDegrees) || *options.smoothBelowDegrees < 0)
      throw ApiError("the smoothing angle is a number of degrees from 0");
    o.Smooth = 1;
    o.SmoothAngle = NumberText(*options.smoothBelowDegrees, "0.##########");
  }
  // What the options leave alone starts as the window starts.
  o.Highlight = 0;
  o.Augment = 0;
}

}  // namespace

Session SessionFromOptions(const Topology& topology, const Options& options) {
  Session session;
  ApplyPreferences(session.prefs, options.preferences);
  session.seed = options.seed;
  RunOptions& o = session.options;
  SetControls(o, options);
  if (!topology.shapeKind.empty()) {
    for (int k = 0; k < 4; ++k) session.special.SpecialOption[k] = topology.shapeKind == kShapeKinds[k];
    session.special.Specialnd = topology.shapeNd;
  } else {
    session.input.InFile = topology.name;
  }
  session.input.InDir = ".";
  session.input.OutSame = true;
  if (topology.letters.find('S') != std::string::npos) {
    // These boxes are greyed for segmented input: nobody can tick them.
    o.Segments = "Segments " + std::to_string(topology.blocks);
    o.Highlight = o.Once = o.Weaken = o.Isomorph = o.Augment = 2;
  }
  if (auto e = ValidateRunOptions(o)) throw ApiError(*e);
  if (auto e = ValidateSegmentOptions(o)) throw ApiError(*e);
  return session;
}

}  // namespace kelmor
