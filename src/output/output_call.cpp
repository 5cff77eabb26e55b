#include "output/output_call.h"

#include <locale.h>

#include <cmath>
#include <ctime>
#include <locale>

#include "model/numtext.h"
#include "run/run.h"

namespace kelmor {

Palette::Palette(const Run& run, MessageFn message) : run_(run), message_(std::move(message)) {}

const std::string& Palette::Text(const std::string& key) const {
  auto it = replaced_.find(key);
  return it != replaced_.end() ? it->second : run_.session.prefs.text(key);
}

void Palette::Replace(const std::string& key, std::string text) { replaced_[key] = std::move(text); }

ColourComponents Palette::Components(const std::string& key, std::string_view label) {
  return ReadColourText(Text(key), label, message_);
}

OutputCall::OutputCall(Run& r)
    : run(r), palette(r, [&host = r.host](const std::string& text) { host.message(text); }),
      date(OutputDateText(r)) {}

ColourEntry ColourEntryOf(int index, bool offTable) {
  static constexpr ColourEntry entries[33] = {
      {nullptr, nullptr},
      {"rfac", "Inter-Realm Face"},
      {"clph", "Highlight Colour"},
      {"clp3", "Triangles"},
      {"clp4", "Squares"},
      {"clp5", "Pentagons"},
      {"clp6", "Hexagons"},
      {"clp7", "Apolydronics"},
      {"clp8", "Octagons"},
      {nullptr, nullptr},
      {"clpx", "Decagons"},
      {"cl52", "Pentagrams"},
      {"cl83", "Octagrams"},
      {"clx3", "Decagrams"},
      {"rcl1", "Rhombus Set 1"},
      {"rcl2", "Rhombus Set 2"},
      {"cls1", "Segment 1"},
      {"cls2", "Segment 2"},
      {"cls3", "Segment 3"},
      {"cls4", "Segment 4"},
      {"cls5", "Segment 5"},
      {nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr},
      {nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr},
      {"clph", "Highlight Colour"},
      {"hxc1", "Distorted Hexagon 1"},
      {"hxc2", "Distorted Hexagon 2"},
      {"rcl3", "Rhombus Set 3"},
  };
  if (offTable && index == 1) return entries[2];
  return entries[index];
}

std::string OutputDateText(const Run& run) {
  if (!run.OutputDate.empty()) return run.OutputDate;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // Only the time category of the user's locale (one file, where the whole locale takes
  // more than a dozen), made once; with none usable the C locale gives a short date.
  static const locale_t time = [] {
    const locale_t user = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    return user != static_cast<locale_t>(nullptr) ? user : ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  }();
  char text[128];
  const size_t length = time != static_cast<locale_t>(nullptr) ? ::strftime_l(text, sizeof text, "%x", &local, time) : 0;
  return std::string(text, length);
}

void BuildRunSuffix(OutputCall& call) {
  const RunOptions& o = call.run.session.options;
  call.weakenSuffix = Ticked(o.Weaken) ? "_weaken" + o.WeakenLimit : std::string();
  call.runSuffix = call.weakenSuffix;
  if (call.run.StressPass == 1) call.runSuffix += "_stress";
  if (Ticked(o.Augment)) call.runSuffix += "_aug";
  if (Ticked(o.Smooth)) call.runSuffix += "_smooth";
}

void AdjustRhombusColours(OutputCall& call) {
  const Run& run = call.run;
  if (!run.session.prefs.flag("rclo")) return;
  constexpr double tolerance = 1e-8;
  const double shortDiag[4] = {0, run.relax.DiagShort1, run.relax.DiagShort2, run.relax.DiagShort3};
  const std::string keys[4] = {"", "rcl1", "rcl2", "rcl3"};
  Palette& p = call.palette;
  for (int set = 1; set <= 3; ++set)
    if (std::fabs(shortDiag[set] - std::sqrt(2.0)) < tolerance) p.Replace(keys[set], p.Text("clp4"));
  if (std::fabs(shortDiag[1] - shortDiag[2]) < tolerance) p.Replace("rcl2", p.Text("rcl1"));
  if (std::fabs(shortDiag[1] - shortDiag[3]) < tolerance) p.Replace("rcl3", p.Text("rcl1"));
  if (std::fabs(shortDiag[3] - shortDiag[2]) < tolerance) p.Replace("rcl3", p.Text("rcl2"));
}

std::string OneLineText(std::string_view text) {
  static const char* const hex = "0123456789abcdef";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (byte < 0x20 || byte == 0x7f) out.append("\\x").append(1, hex[byte >> 4]).append(1, hex[byte & 15]);
    else out += c;
  }
  return out;
}

std::string VrmlString(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace kelmor
