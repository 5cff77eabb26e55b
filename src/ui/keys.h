#pragma once

#include <functional>

class QAbstractButton;
class QWidget;

namespace kelmor {

// The keyboard of a window, as a desktop user expects it:
// - Enter presses `enter` (OK / Run), unless a list has the focus (Enter opens or runs
//   its item there) or a focused button takes Enter for itself;
// - Escape presses `escape` (Cancel) or, when there is none, closes the window, unless
//   `escapeCloses` is false (the main window, whose closing ends the program: one Escape
//   too many after a dialog must not do that);
// - F1 calls help.
// Either button may be nullptr; a disabled or hidden button is never pressed.
void WireKeys(QWidget* window, QAbstractButton* enter, QAbstractButton* escape,
              std::function<void()> help, bool escapeCloses = true);

// Presses a button from the keyboard: only when it and its window can be used.
bool PressIfUsable(QAbstractButton* button);

}  // namespace kelmor
