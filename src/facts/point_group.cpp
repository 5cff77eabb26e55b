#include <algorithm>
#include <cctype>
#include <charconv>

#include "facts/symmetry.h"

namespace kelmor {

namespace {

using F = PointGroup::Family;

constexpr int MaxAxisOrder = 100000;

// One name for one group: the axial families of order 1 are other families' members.
PointGroup Normal(PointGroup g) {
  if (g.n == 1) {
    switch (g.family) {
      case F::Cv: return {F::Ch, 1};  // Cs
      case F::D: return {F::C, 2};
      case F::Dh: return {F::Cv, 2};
      case F::Dd: return {F::Ch, 2};
      default: break;
    }
  }
  return g;
}

std::vector<int> Divisors(int n) {
  std::vector<int> d;
  for (int k = 1; k <= n; ++k)
    if (n % k == 0) d.push_back(k);
  return d;
}

void Add(std::vector<PointGroup>& list, PointGroup g) {
  g = Normal(g);
  if (std::find(list.begin(), list.end(), g) == list.end()) list.push_back(g);
}

std::vector<PointGroup> Subgroups(PointGroup g);

void AddAll(std::vector<PointGroup>& list, PointGroup g) {
  for (PointGroup s : Subgroups(g)) Add(list, s);
}

// The kinds of subgroup of an axial group of principal order n.
void AxialSubgroups(std::vector<PointGroup>& list, F family, int n) {
  for (int k : Divisors(n)) {
    Add(list, {F::C, k});
    switch (family) {
      case F::Cv: Add(list, {F::Cv, k}); break;
      case F::Ch:
        Add(list, {F::Ch, k});
        if (n % (2 * k) == 0) Add(list, {F::S, 2 * k});
        break;
      case F::D: Add(list, {F::D, k}); break;
      case F::Dh:
        for (F f : {F::Cv, F::Ch, F::D, F::Dh}) Add(list, {f, k});
        if (n % (2 * k) == 0) Add(list, {F::S, 2 * k}), Add(list, {F::Dd, k});
        break;
      case F::Dd:
        Add(list, {F::Cv, k}), Add(list, {F::D, k});
        if ((n / k) % 2 == 1) Add(list, {F::S, 2 * k}), Add(list, {F::Dd, k});
        break;
      default: break;
    }
  }
}

std::vector<PointGroup> Subgroups(PointGroup g) {
  std::vector<PointGroup> list;
  switch (g.family) {
    case F::C: case F::Cv: case F::Ch: case F::D: case F::Dh: case F::Dd:
      AxialSubgroups(list, g.family, g.n);
      break;
    case F::S:
      for (int k : Divisors(g.n / 2)) {
        Add(list, {F::C, k});
        if ((g.n / 2 / k) % 2 == 1) Add(list, {F::S, 2 * k});
      }
      break;
    case F::T: AddAll(list, {F::D, 2}), AddAll(list, {F::C, 3}); break;
    case F::Td: AddAll(list, {F::T, 1}), AddAll(list, {F::Dd, 2}), AddAll(list, {F::Cv, 3}); break;
    case F::Th: AddAll(list, {F::T, 1}), AddAll(list, {F::Dh, 2}), AddAll(list, {F::S, 6}); break;
    case F::O: AddAll(list, {F::T, 1}), AddAll(list, {F::D, 4}), AddAll(list, {F::D, 3}); break;
    case F::Oh:
      for (PointGroup p : {PointGroup{F::O, 1}, {F::Td, 1}, {F::Th, 1}, {F::Dh, 4}, {F::Dd, 3}}) AddAll(list, p);
      break;
    case F::I: AddAll(list, {F::T, 1}), AddAll(list, {F::D, 5}), AddAll(list, {F::D, 3}); break;
    case F::Ih:
      for (PointGroup p : {PointGroup{F::I, 1}, {F::Th, 1}, {F::Dd, 5}, {F::Dd, 3}}) AddAll(list, p);
      break;
    case F::Linear: case F::LinearH: break;  // answered in HasSubgroup
  }
  Add(list, g);
  return list;
}

bool Axial(F f) { return f == F::C || f == F::Cv || f == F::Ch || f == F::S || f == F::D || f == F::Dh || f == F::Dd; }

}  // namespace

std::string GroupName(PointGroup g) {
  g = Normal(g);
  const std::string n = std::to_string(g.n);
  switch (g.family) {
    case F::C: return "C" + n;
    case F::Cv: return "C" + n + "v";
    case F::Ch: return g.n == 1 ? "Cs" : "C" + n + "h";
    case F::S: return g.n == 2 ? "Ci" : "S" + n;
    case F::D: return "D" + n;
    case F::Dh: return "D" + n + "h";
    case F::Dd: return "D" + n + "d";
    case F::T: return "T";
    case F::Td: return "Td";
    case F::Th: return "Th";
    case F::O: return "O";
    case F::Oh: return "Oh";
    case F::I: return "I";
    case F::Ih: return "Ih";
    case F::Linear: return "Cinfv";
    case F::LinearH: return "Dinfh";
  }
  return "C1";
}

std::optional<PointGroup> ParseGroup(const std::string& name) {
  static const std::pair<const char*, PointGroup> fixed[] = {
      {"Cs", {F::Ch, 1}}, {"Ci", {F::S, 2}}, {"T", {F::T, 1}},  {"Td", {F::Td, 1}}, {"Th", {F::Th, 1}},
      {"O", {F::O, 1}},   {"Oh", {F::Oh, 1}}, {"I", {F::I, 1}}, {"Ih", {F::Ih, 1}},
      {"Cinfv", {F::Linear, 1}}, {"Dinfh", {F::LinearH, 1}}};
  for (const auto& [text, g] : fixed)
    if (name == text) return g;
  if (name.size() < 2 || (name[0] != 'C' && name[0] != 'D' && name[0] != 'S')) return std::nullopt;
  int n = 0;
  const char* end = name.data() + name.size();
  auto [ptr, ec] = std::from_chars(name.data() + 1, end, n);
  if (ec != std::errc() || n < 1 || n > MaxAxisOrder || ptr == name.data() + 1) return std::nullopt;
  const std::string tail(ptr, end);
  PointGroup g{F::C, n};
  if (name[0] == 'S') {
    if (!tail.empty() || n % 2 != 0) return std::nullopt;  // S of odd order is Cnh
    g.family = F::S;
  } else if (name[0] == 'C') {
    if (tail == "v") g.family = F::Cv;
    else if (tail == "h") g.family = F::Ch;
    else if (!tail.empty()) return std::nullopt;
  } else {
    if (tail == "h") g.family = F::Dh;
    else if (tail == "d") g.family = F::Dd;
    else if (tail.empty()) g.family = F::D;
    else return std::nullopt;
  }
  return Normal(g);
}

bool HasSubgroup(PointGroup whole, PointGroup part) {
  whole = Normal(whole), part = Normal(part);
  if (whole.family == F::Linear) return part.family == F::C || part.family == F::Cv || part == whole;
  if (whole.family == F::LinearH) return Axial(part.family) || part.family == F::Linear || part == whole;
  const std::vector<PointGroup> list = Subgroups(whole);
  return std::find(list.begin(), list.end(), part) != list.end();
}

}  // namespace kelmor
