#pragma once

#include <optional>
#include <string>

#include "facts/solid_facts.h"

namespace kelmor {

// Which exact solutions an unattended run keeps: any (as the windows do), only convex
// ones, or only those with at least a given symmetry. A solution refused is treated as an
// isomorph already seen: not written, and the next attempt starts.
struct AcceptRule {
  enum class Kind { Any, Convex, Symmetric };
  Kind kind = Kind::Any;
  PointGroup group;  // Symmetric: the group the solution's symmetry must contain
};

// Reads "any", "convex" or "symmetric GROUP" (also "symmetric:GROUP" and
// "symmetric=GROUP"); the reason, in the command line's words, when the text is none.
std::optional<std::string> ParseAcceptRule(const std::string& text, AcceptRule& rule);

// Nothing when the rule keeps the solution; else the line saying why it was not written.
std::optional<std::string> Refusal(const AcceptRule& rule, const SolidFacts& facts, const std::string& name);

}  // namespace kelmor
