#pragma once

#include <QWidget>

class QButtonGroup;

namespace kelmor {

class Gui;

// "Kelmor Predefined Input": a polygon, pyramid, prism or antiprism over {n/d}
// instead of an input file.
class SpecialIn : public QWidget {
  Q_OBJECT
 public:
  explicit SpecialIn(Gui& gui);

  // Shown from the file-selection window with none of the four shapes chosen.
  void open();

  void runOkClick();
  void cancelClick();

 protected:
  // Closing the window is its Cancel, so the program never ends up with no window.
  void closeEvent(QCloseEvent* event) override;

 private:
  Gui& gui_;
  QButtonGroup* options_;
};

}  // namespace kelmor
