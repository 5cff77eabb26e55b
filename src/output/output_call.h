#pragma once

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/held_file.h"
#include "model/colour.h"
#include "model/locale_text.h"
#include "model/numtext.h"

namespace kelmor {

struct Run;
class PrivateFile;

// One line of an output file, with the CR LF line end every output file uses.
inline void Line(std::ostream& os, std::string_view text) { os << text << "\r\n"; }

// The colour preferences of one writer call. Every conversion reads the colour text
// afresh, so a colour that needs clipping is reported at each conversion that clips it.
class Palette {
 public:
  Palette(const Run& run, MessageFn message);

  // The colour text in force for a key (the preference, unless this call replaced it).
  const std::string& Text(const std::string& key) const;
  void Replace(const std::string& key, std::string text);

  ColourComponents Components(const std::string& key, std::string_view label);
  std::string Unit(const std::string& key, std::string_view label) {
    return ColourUnitText(Components(key, label));
  }
  std::string Whole(const std::string& key, std::string_view label) {
    return ColourIntText(Components(key, label));
  }

 private:
  const Run& run_;
  MessageFn message_;
  std::map<std::string, std::string> replaced_;
};

// Everything one call of the writer shares between its files.
struct OutputCall {
  explicit OutputCall(Run& r);

  Run& run;
  Palette palette;
  std::string date;            // the date text of every file header
  std::string weakenSuffix;    // "_weaken3", or empty
  std::string runSuffix;       // weaken suffix, "_stress", "_aug", "_smooth"
  double SE = 0;               // largest single edge distortion of the last report written
  // The decimal separator of the report's figures: the user's unless set, looked up only
  // when a report is written.
  std::optional<std::locale> locale;
  // Files complete under their temporary names, moved into place together once every
  // file of the call has been written.
  std::vector<std::shared_ptr<PrivateFile>> pending;
  // The same for a run that keeps its files in memory (Run::HeldFiles).
  std::vector<HeldFile> held;
  // Which files were written (full paths), in order.
  std::vector<std::string> written;
};

// The colour preference (key and label for its messages) behind an entry of the face
// colour table; key is null for the fixed entries (0, 9, 21 to 28). The OFF table takes
// entry 1 from the highlight colour instead of the inter-realm face colour.
struct ColourEntry {
  const char* key;
  const char* label;
};
ColourEntry ColourEntryOf(int index, bool offTable);

// The date text of file headers: the run's pinned text when it has one, else today's
// date in the user's short date form.
std::string OutputDateText(const Run& run);

// Builds the run suffix of the current pass (weaken, stress, augment, smooth parts).
void BuildRunSuffix(OutputCall& call);

// Reads the three rhombus colours and, when the override is on, gives a set whose short
// diagonal is that of a square the square colour and equal sets one colour.
void AdjustRhombusColours(OutputCall& call);

// A text from outside (a file name, the user's name) written inside a file: control
// characters shown as \n, \r, \t or \xHH, so that it cannot end a comment line or
// start a line of its own.
std::string OneLineText(std::string_view text);

// A text inside a VRML string: double quotes and backslashes escaped.
std::string VrmlString(std::string_view text);

}  // namespace kelmor
