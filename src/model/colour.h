#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kelmor {

// Receives one clipping message (an OK box inside a run: pass run.host.message).
using MessageFn = std::function<void(const std::string&)>;

// The face colour index (0..32) of a face from its size, star step and code letters.
// colour is in-out: a face of fewer than three vertices, or a code with "Q" but none of
// the known colour codes, leaves the value the previous face left.
void FaceColourIndex(int size, int step, std::string_view code, int& colour);

// The colour code ("Q" and one character) that selects a face colour index.
std::string ColourCodeFor(int index);

// A colour text read as three whole components, clipped to 0..255 with one message per
// clip, then raised by the offset a label "Offset N" carries.
struct ColourComponents {
  int red = 0, green = 0, blue = 0;
};
ColourComponents ReadColourText(std::string_view text, std::string_view label,
                                const MessageFn& message);

// Colour text to the VRML form: three fractions of 255 with three decimals ("1.000 0.502 0.000").
std::string ColourUnitText(std::string_view text, std::string_view label, const MessageFn& message);
// Colour text to three whole numbers ("255 128 0").
std::string ColourIntText(std::string_view text, std::string_view label, const MessageFn& message);

// The two forms of components that were already read (no messages).
std::string ColourUnitText(const ColourComponents& c);
std::string ColourIntText(const ColourComponents& c);

}  // namespace kelmor
