#include "ui/colour_button.h"

#include <algorithm>

#include "model/numtext.h"

namespace kelmor {

namespace {

int Component(std::string_view text) {
  double v = ReadNumber(text);
  if (!(v > 0)) return 0;
  return v >= 255 ? 255 : static_cast<int>(v);
}

}  // namespace

Rgb ColourOfText(const std::string& text) {
  size_t first = text.find('.');
  if (first == std::string::npos) {
    int v = Component(text);
    return {v, v, v};
  }
  size_t second = text.find('.', first + 1);
  std::string_view t(text);
  Rgb c;
  c.r = Component(t.substr(0, first));
  if (second == std::string::npos) {
    c.g = Component(t.substr(first + 1));
  } else {
    c.g = Component(t.substr(first + 1, second - first - 1));
    c.b = Component(t.substr(second + 1, 3));
  }
  return c;
}

long ColourValue(Rgb c) { return c.r + 256L * c.g + 65536L * c.b; }

std::string ColourText(long value) {
  long r = value % 256, g = (value / 256) % 256, b = value / 65536;
  return std::to_string(r) + "." + std::to_string(g) + "." + std::to_string(b);
}

ColourButton::ColourButton(const QString& name, const QString& caption) : QPushButton(caption) {
  setObjectName(name);
  setAutoDefault(false);
  setColour({128, 128, 128});
}

void ColourButton::setColour(Rgb c) {
  colour_ = c;
  // A caption stays readable on dark and light colours alike.
  bool dark = IsDark(c);
  setStyleSheet(QString("QPushButton { background-color: rgb(%1,%2,%3); color: %4;"
                        " border: 1px solid #606060; border-radius: 2px; padding: 2px; }"
                        " QPushButton:pressed { border: 2px solid #202020; }")
                    .arg(c.r)
                    .arg(c.g)
                    .arg(c.b)
                    .arg(dark ? "white" : "black"));
  setToolTip(QString::fromStdString(ColourText(c)));
}

}  // namespace kelmor
