#include "conway/notation.h"

#include <cctype>
#include <cstring>

#include "conway/operators.h"
#include "model/limits.h"

namespace kelmor::conway {

namespace {

constexpr const char* Operators = "dajekgtosmbnzcpw";
constexpr const char* NumberedOperators = "kt";
constexpr const char* PlainSeeds = "TCODI";
constexpr const char* SizedSeeds = "PAY";
// No operator takes edges away, so a solid with more edges than the model holds can only
// grow: the build stops there, before an operator multiplies them again (by up to seven).
constexpr int MaxBuildEdges = MaxEdges;

bool IsOneOf(char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }

std::string Quoted(char c) {
  if (std::isprint(static_cast<unsigned char>(c))) return std::string("'") + c + "'";
  return "character " + std::to_string(static_cast<unsigned char>(c));
}

// The digits from i on as a number (capped, so that a long run of digits cannot
// overflow); i moves past them. -1 when there are none.
int ReadNumber(const std::string& t, size_t& i) {
  if (i >= t.size() || !std::isdigit(static_cast<unsigned char>(t[i]))) return -1;
  long value = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
    value = std::min(value * 10 + (t[i] - '0'), 1000000L);
    ++i;
  }
  return static_cast<int>(value);
}

std::optional<Expression> Fail(NotationError& error, size_t index, std::string message) {
  error.position = static_cast<int>(index) + 1;
  error.message = "position " + std::to_string(error.position) + ": " + std::move(message);
  return std::nullopt;
}

SolidFaces Seed(char seed, int sides) {
  switch (seed) {
    case 'T': return Pyramid(3);
    case 'C': return Prism(4);
    case 'O': return Antiprism(3);
    case 'I': return Kis(Antiprism(5), 5);
    case 'D': return Dual(Kis(Antiprism(5), 5));
    case 'P': return Prism(sides);
    case 'A': return Antiprism(sides);
    default: return Pyramid(sides);
  }
}

SolidFaces Apply(const Step& s, const SolidFaces& x) {
  switch (s.op) {
    case 'd': return Dual(x);
    case 'a': return Ambo(x);
    case 'k': return Kis(x, s.n);
    case 't': return Dual(Kis(Dual(x), s.n));
    case 'j': return Dual(Ambo(x));
    case 'e': return Ambo(Ambo(x));
    case 'o': return Dual(Ambo(Ambo(x)));
    case 's': return Dual(Gyro(Dual(x)));
    case 'g': return Gyro(x);
    case 'm': return Kis(Dual(Ambo(x)));
    case 'b': return Dual(Kis(Dual(Ambo(x))));
    case 'n': return Kis(Dual(x));
    case 'z': return Dual(Kis(x));
    case 'c': return Chamfer(x);
    case 'p': return Propeller(x);
    default: return Whirl(x);
  }
}

}  // namespace

std::optional<Expression> ParseNotation(const std::string& t, NotationError& error) {
  Expression e;
  size_t i = 0;
  while (i < t.size()) {
    const char c = t[i];
    const size_t at = i++;
    if (IsOneOf(c, Operators)) {
      const size_t digits = i;
      const int n = ReadNumber(t, i);
      if (n >= 0 && !IsOneOf(c, NumberedOperators))
        return Fail(error, digits, std::string("'") + c + "' takes no number (only k and t do, as in k5 or t3)");
      if (n >= 0 && n < 3) return Fail(error, digits, std::string("'") + c + "' needs a number of sides of 3 or more");
      e.steps.push_back(Step{c, n < 0 ? 0 : n, static_cast<int>(at) + 1});
      continue;
    }
    if (IsOneOf(c, PlainSeeds) || IsOneOf(c, SizedSeeds)) {
      e.seed = c;
      if (IsOneOf(c, SizedSeeds)) {
        const int n = ReadNumber(t, i);
        if (n < 0) return Fail(error, i, std::string("'") + c + "' needs its number of sides, as in " + c + "5");
        if (n < 3) return Fail(error, at + 1, std::string("'") + c + "' needs 3 sides or more");
        e.sides = n;
      }
      if (i < t.size())
        return Fail(error, i, "nothing may follow the seed " + t.substr(at, i - at) +
                                  ": operators come first and apply right to left");
      return e;
    }
    return Fail(error, at, Quoted(c) + " is not an operator (" + OperatorLetters + ") or a seed (" +
                               SeedNames + ")");
  }
  return Fail(error, t.size(), "the expression ends without a seed (" + std::string(SeedNames) + ")");
}

std::optional<SolidFaces> BuildNotation(const std::string& text, NotationError& error) {
  std::optional<Expression> e = ParseNotation(text, error);
  if (!e) return std::nullopt;
  if (e->sides > MaxSeedSides) {
    error = {0, std::string(1, e->seed) + std::to_string(e->sides) + " has a face of more than " +
                    std::to_string(MaxFaceVertices) + " vertices", true};
    return std::nullopt;
  }
  SolidFaces s = Seed(e->seed, e->sides);
  for (auto it = e->steps.rbegin(); it != e->steps.rend(); ++it) {
    if (s.edgeCount() > MaxBuildEdges) {
      error = {0, "the solid has " + std::to_string(s.edgeCount()) + " edges before the operator at position " +
                      std::to_string(it->position),
               true};
      return std::nullopt;
    }
    s = Apply(*it, s);
  }
  return s;
}

}  // namespace kelmor::conway
