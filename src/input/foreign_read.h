#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/solid_faces.h"

namespace kelmor {

// What reading an OFF or OBJ text gives: the solid, the line each face came from, notes
// for things passed over, or the first error ("line 12: ..."), which names the line.
struct ForeignRead {
  SolidFaces solid;
  std::vector<int> faceLine;
  std::vector<std::string> notes;
  std::string error;

  bool ok() const { return error.empty(); }
};

// One line of a text, split into blank-separated words after the comment ("#" to the
// end of the line) is cut off. Lines count from 1.
struct WordLine {
  int number = 0;
  std::vector<std::string_view> words;
};

// Splits a text into its lines of words, skipping lines without words. A byte that no
// text file holds (NUL, or a control character other than tab, line and page breaks)
// stops the split: error names its line.
std::vector<WordLine> SplitWordLines(std::string_view text, std::string& error);

// A word read as a finite number ("+" allowed, "." as the decimal point whatever the
// locale); nullopt for anything else, NaN and infinities included.
std::optional<double> FiniteNumber(std::string_view word);
// A word read as a whole number within the int range; nullopt otherwise.
std::optional<long> WholeNumber(std::string_view word);

// A vertex a face lists more than once (the smallest such), or -1. O(n log n), so that a
// face line of any length is checked quickly.
int RepeatedVertex(std::vector<int> face);

// The OFF reader: header OFF (also COFF, NOFF, CNOFF), the counts, one vertex a line
// (the first three numbers), one face a line (count, indices from 0, then an optional
// colour of three or four components, 0..255 or 0..1). Elements of one or two vertices
// are passed over with a note.
ForeignRead ReadOffText(std::string_view text);

// The OBJ reader: "v" lines and "f" lines (indices from 1, negative ones counting back,
// "i/t/n" forms), "l" and "p" elements passed over with a note, other statements ignored.
ForeignRead ReadObjText(std::string_view text);

// Closed surface check of a read solid: every edge in exactly two faces. Empty, or the
// first fault naming the edge by its vertex numbers and the lines of its faces. Faces
// that run the same way round along an edge are left alone (Kelmor does not need them
// turned alike) but noted.
std::string SurfaceProblem(const ForeignRead& read, std::vector<std::string>* notes);

}  // namespace kelmor
