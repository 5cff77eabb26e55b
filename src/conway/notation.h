#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/solid_faces.h"

namespace kelmor::conway {

// One operator of an expression: its letter, the number after it (kN, tN; 0 for none)
// and its position in the expression, from 1.
struct Step {
  char op = 0;
  int n = 0;
  int position = 0;
};

// An expression read: the seed (T C O D I, or P A Y with its number of sides) and the
// operators in the order written; they apply right to left.
struct Expression {
  char seed = 0;
  int sides = 0;
  std::vector<Step> steps;
};

// Why an expression cannot be read or built. position is the 1-based place of the
// offending character (one past the end for a missing seed); 0 for a result too large.
struct NotationError {
  int position = 0;
  std::string message;
  bool tooLarge = false;  // the solid goes beyond the model's limits
};

// The largest number of sides a seed may have: one face must fit the model.
inline constexpr int MaxSeedSides = 40;

// Reads an expression such as "tI", "t5kD", "cP7"; letters are case sensitive and
// nothing else (blanks included) is allowed.
std::optional<Expression> ParseNotation(const std::string& text, NotationError& error);

// The solid an expression names, built by its operators. A step whose solid would go far
// beyond the model's limits stops the build (error with tooLarge set) rather than filling
// the memory.
std::optional<SolidFaces> BuildNotation(const std::string& text, NotationError& error);

// The operator letters and seeds, for messages and help.
inline constexpr const char* OperatorLetters = "d a k t j e o s g m b n z c p w";
inline constexpr const char* SeedNames = "T C O D I, Pn An Yn";

}  // namespace kelmor::conway
