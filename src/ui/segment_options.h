#pragma once

#include <QWidget>
#include <vector>

namespace kelmor {

class Gui;

// "Kelmor Segment Options": edge length, offset, transparency and flips of each of
// the five segments, and how segment faces are coloured.
class SegmentOptions : public QWidget {
  Q_OBJECT
 public:
  explicit SegmentOptions(Gui& gui);

  // Shows rows 1..count and hides the others.
  void showRows(int count);

  void runClick();
  void cancelClick();

 protected:
  // Closing the window is its Cancel, so the program never ends up with no window.
  void closeEvent(QCloseEvent* event) override;

 private:
  Gui& gui_;
  std::vector<std::vector<QWidget*>> rows_;  // index 1..5: the controls of each row
};

}  // namespace kelmor
