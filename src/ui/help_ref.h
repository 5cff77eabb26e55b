#pragma once

#include <QWidget>

namespace kelmor {

class Gui;

// "Kelmor Help": what the program does, the input format in brief, and the buttons.
class HelpRef : public QWidget {
  Q_OBJECT
 public:
  explicit HelpRef(Gui& gui);
  static QString helpText();

 private:
  Gui& gui_;
};

}  // namespace kelmor
