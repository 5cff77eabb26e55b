#pragma once

#include <string>
#include <vector>

#include "model/solid_faces.h"

namespace kelmor {

// The model limits' message, as the run's error handler shows it for error 9.
inline constexpr const char* LimitMessage = "Error: Subscript out of range.  Input file too large?";

// Which limit of the model a solid goes beyond ("3002 vertices: vertex numbers run to
// 3000"), or empty when it fits.
std::string LimitProblem(const SolidFaces& s);

// The solid as Kelmor input text: the comment lines (each given line behind "' "),
// a line with its V, E and F, then one block with a face a line, each face preceded by
// its colour letter. With withCoordinates and coordinates present, the block starts with
// them as starting positions.
std::string KelmorText(const SolidFaces& s, const std::vector<std::string>& comments, bool withCoordinates);

// The solid as an OFF file (faces coloured by their colour letters) and as an OBJ file.
// A solid without coordinates has every vertex at 0 0 0.
std::string OffText(const SolidFaces& s, const std::vector<std::string>& comments);
std::string ObjText(const SolidFaces& s, const std::vector<std::string>& comments);

// The colour letters of the input text and the fixed colours they stand for (0..255).
struct LetterColour {
  char letter;
  int red, green, blue;
};
const std::vector<LetterColour>& LetterColours();

// The colour letter nearest to a colour given by components 0..1, or 0 when none of
// them is near (more than a fifth of the way across the colour cube in any component).
char NearestColourLetter(double red, double green, double blue);

}  // namespace kelmor
