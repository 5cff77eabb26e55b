#include "policy/solution_acceptance.h"

namespace kelmor {

std::optional<std::string> ParseAcceptRule(const std::string& text, AcceptRule& rule) {
  if (text == "any" || text == "convex") {
    rule = {text == "any" ? AcceptRule::Kind::Any : AcceptRule::Kind::Convex, {}};
    return std::nullopt;
  }
  static const std::string symmetric = "symmetric";
  if (text.rfind(symmetric, 0) == 0 && text.size() > symmetric.size() + 1 &&
      std::string(" :=").find(text[symmetric.size()]) != std::string::npos) {
    const std::string name = text.substr(symmetric.size() + 1);
    if (std::optional<PointGroup> g = ParseGroup(name)) {
      rule = {AcceptRule::Kind::Symmetric, *g};
      return std::nullopt;
    }
    return "--accept symmetric: '" + name +
           "' is not a symmetry group in Schoenflies notation (Ih, I, Oh, O, Td, Th, T, Dnh, Dnd, Dn, Cnv, "
           "Cnh, Cn, S2n, Cs, Ci or C1, n a whole number)";
  }
  if (text == symmetric) return "--accept symmetric needs a group, e.g. --accept symmetric Ih";
  return "--accept must be any, convex or symmetric GROUP, not '" + text + "'";
}

std::optional<std::string> Refusal(const AcceptRule& rule, const SolidFacts& facts, const std::string& name) {
  switch (rule.kind) {
    case AcceptRule::Kind::Any: return std::nullopt;
    case AcceptRule::Kind::Convex:
      if (facts.convex) return std::nullopt;
      return "Not convex: " + name + " has " + std::to_string(facts.nonSupportingFaces) +
             (facts.nonSupportingFaces == 1 ? " face" : " faces") +
             " whose plane cuts the solid; not written (--accept convex), next attempt";
    case AcceptRule::Kind::Symmetric:
      if (HasSubgroup(facts.symmetry, rule.group)) return std::nullopt;
      return "Too little symmetry: " + name + " has symmetry " + GroupName(facts.symmetry) + ", not " +
             GroupName(rule.group) + " or more; not written (--accept symmetric " + GroupName(rule.group) +
             "), next attempt";
  }
  return std::nullopt;
}

}  // namespace kelmor
