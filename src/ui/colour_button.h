#pragma once

#include <QColor>
#include <QPushButton>
#include <string>

namespace kelmor {

// A colour as the colour windows read it: three whole numbers 0..255.
struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Colour text to components, as the colour windows read it: without a full stop the
// number stands for all three; otherwise red before the first full stop, green up to the
// second, blue at most three characters after it. Components are kept within 0..255.
Rgb ColourOfText(const std::string& text);
// red + 256 green + 65536 blue, and back to "r.g.b".
long ColourValue(Rgb c);
std::string ColourText(long value);
inline std::string ColourText(Rgb c) { return ColourText(ColourValue(c)); }

// Whether black text would be hard to read on this colour.
inline bool IsDark(Rgb c) { return c.r * 299 + c.g * 587 + c.b * 114 < 128000; }

// A button painted in a colour, whose tooltip holds the colour text.
class ColourButton : public QPushButton {
  Q_OBJECT
 public:
  ColourButton(const QString& name, const QString& caption = QString());
  void setColour(Rgb c);
  Rgb colour() const { return colour_; }

 private:
  Rgb colour_;
};

}  // namespace kelmor
