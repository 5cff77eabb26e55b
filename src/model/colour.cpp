#include "model/colour.h"

#include <cctype>

#include "model/numtext.h"

namespace kelmor {

namespace {

bool Has(std::string_view code, std::string_view letters) {
  return code.find(letters) != std::string_view::npos;
}

int IndexBySize(int size, int step, std::string_view code, int colour) {
  if (size < 3) return colour;
  switch (size) {
    case 3:
      return 3;
    case 4:
      if (Has(code, "D")) return 14;
      if (Has(code, "d")) return 15;
      if (Has(code, "q")) return 32;
      return 4;
    case 5:
      return step == 1 ? 5 : 11;
    case 6:
      if (Has(code, "D")) return 30;
      if (Has(code, "d")) return 31;
      return 6;
    case 8:
      return step == 1 ? 8 : 12;
    case 10:
      return step == 1 ? 10 : 13;
    default:  // 7, 9 and everything above 10: apolydronic
      return 7;
  }
}

// Clips one rounded component to 0..255, naming it in the message.
int Clip(double value, const char* name, std::string_view label, const MessageFn& message) {
  if (value >= 256) {
    if (message) message(std::string(name) + " value in " + std::string(label) + " Colour clipped at 255");
    return 255;
  }
  if (value < 0) {
    if (message) message(std::string(name) + " value in " + std::string(label) + " Colour clipped at 0");
    return 0;
  }
  return static_cast<int>(value);
}

int LabelOffset(std::string_view label) {
  if (label.size() < 6) return 0;
  for (size_t i = 0; i < 6; ++i)
    if (std::toupper(static_cast<unsigned char>(label[i])) != "OFFSET"[i]) return 0;
  return RoundInt16(ReadNumber(label.substr(6)));
}

}  // namespace

void FaceColourIndex(int size, int step, std::string_view code, int& colour) {
  if (!Has(code, "Q")) {
    colour = IndexBySize(size, step, code, colour);
    return;
  }
  // Later codes in this order win, so "Q7" beats every other code.
  static constexpr struct {
    const char* code;
    int index;
  } order[] = {{"Q1", 1},  {"Qy", 23}, {"Qb", 26}, {"Qa", 22}, {"Qg", 24}, {"Qc", 25},
               {"Qm", 27}, {"Qr", 21}, {"Qw", 28}, {"Qh", 29}, {"Q2", 2},  {"Q3", 3},
               {"Q4", 4},  {"Q5", 5},  {"Q6", 6},  {"Q8", 8},  {"QX", 10}, {"Q7", 7}};
  for (const auto& entry : order)
    if (Has(code, entry.code)) colour = entry.index;
}

std::string ColourCodeFor(int index) {
  switch (index) {
    case 1: return "Q1";
    case 2:
    case 29: return "Q2";
    case 3: return "Q3";
    case 4: return "Q4";
    case 5: return "Q5";
    case 6: return "Q6";
    case 8: return "Q8";
    case 10: return "QX";
    case 21: return "Qr";
    case 22: return "Qa";
    case 23: return "Qy";
    case 24: return "Qg";
    case 25: return "Qc";
    case 26: return "Qb";
    case 27: return "Qm";
    case 28: return "Qw";
    default: return "Q7";
  }
}

ColourComponents ReadColourText(std::string_view text, std::string_view label,
                                const MessageFn& message) {
  int offset = LabelOffset(label);
  ColourComponents c;
  size_t first = text.find('.');
  if (first == std::string_view::npos) {
    double v = RoundEven(ReadNumber(text));
    int all = 0;
    if (v >= 256) {
      if (message)
        message("No periods in " + std::string(label) + " Colour, single number assumed, clipped at 255");
      all = 255;
    } else if (v < 0) {
      if (message)
        message("No periods in " + std::string(label) +
                " Edge Colour, single number assumed, clipped at 0");
      all = 0;
    } else {
      all = static_cast<int>(v);
    }
    c = {all, all, all};
  } else {
    // With one full stop only, green is everything after it and blue is missing (0).
    size_t second = text.find('.', first + 1);
    std::string_view red = text.substr(0, first + 1);
    std::string_view green = second == std::string_view::npos
                                 ? text.substr(first + 1)
                                 : text.substr(first + 1, second - first - 1);
    double blue = second == std::string_view::npos ? 0.0 : ReadNumber(text.substr(second + 1));
    c.red = Clip(RoundEven(ReadNumber(red)), "Red", label, message);
    c.green = Clip(RoundEven(ReadNumber(green)), "Green", label, message);
    c.blue = Clip(RoundEven(blue), "Blue", label, message);
  }
  c.red += offset;
  c.green += offset;
  c.blue += offset;
  return c;
}

std::string ColourUnitText(const ColourComponents& c) {
  return NumberText(c.red / 255.0, "0.000") + " " + NumberText(c.green / 255.0, "0.000") + " " +
         NumberText(c.blue / 255.0, "0.000");
}

std::string ColourIntText(const ColourComponents& c) {
  return std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue);
}

std::string ColourUnitText(std::string_view text, std::string_view label, const MessageFn& message) {
  return ColourUnitText(ReadColourText(text, label, message));
}

std::string ColourIntText(std::string_view text, std::string_view label, const MessageFn& message) {
  return ColourIntText(ReadColourText(text, label, message));
}

}  // namespace kelmor
