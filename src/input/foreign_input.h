#pragma once

#include <string>
#include <string_view>

#include "input/foreign_read.h"

namespace kelmor {

struct Run;

// How an input file is read: chosen by its extension (.off, .obj; any case), and for
// other names by its content (a text that starts with an OFF header and holds no "{" is
// an OFF file, not Kelmor text without faces).
enum class InputKind { Kelmor, Off, Obj };
InputKind InputKindOf(const std::string& path, std::string_view text);

// An OFF or OBJ text read and checked: the reader, then the closed surface check.
ForeignRead ReadSolidText(InputKind kind, std::string_view text);

// An OFF or OBJ text as Kelmor text, the file's coordinates as starting positions when
// withCoordinates. notes and error name the file (and the line); tooLarge says which limit
// of the model the solid goes beyond. text is empty unless the solid can be read.
struct ForeignText {
  std::string text;
  std::vector<std::string> notes;
  std::string error;
  std::string tooLarge;
};
ForeignText ForeignKelmorText(InputKind kind, std::string_view text, const std::string& name, bool withCoordinates);

// The run's input stage for an OFF or OBJ file: the solid becomes Kelmor text and goes
// through the parser like any input, from a random start. A fault is shown, naming the
// file and the line, and stops the run; a solid beyond the model's limits raises error 9.
// (A caller that wants the file's coordinates as the start hands the run the text of
// ForeignKelmorText instead.)
void ReadForeignInput(Run& run, InputKind kind, std::string_view text);

// The run's input stage for an input named conway:EXPR.
void ReadConwayInput(Run& run, const std::string& expression);

// The Kelmor text of a Conway expression: a comment naming it and its V, E and F, then
// its faces. Empty (error set) when the expression cannot be read or built.
std::string ConwayKelmorText(const std::string& expression, std::string& error, bool& tooLarge);

}  // namespace kelmor
