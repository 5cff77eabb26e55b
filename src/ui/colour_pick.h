#pragma once

#include <QWidget>
#include <array>
#include <string>

class QGroupBox;
class QLabel;
class QSlider;

namespace kelmor {

class Gui;
class ColourButton;
struct Rgb;

// "Kelmor Colour Table": the 216-colour cube, the metal colours, a range bar between
// two colours and 18 user-defined colours. A colour pressed goes back to the colour
// preference whose button opened the table.
class ColourPick : public QWidget {
  Q_OBJECT
 public:
  explicit ColourPick(Gui& gui);

  // Opened by a colour button of the colour preferences window.
  void chooseFor(const std::string& targetButton);
  // The colour of range-bar box i (0..62) between the left and right colours.
  Rgb rangeColour(int i) const;

  void colourPressed(Rgb c);
  void userColourPressed(int index);
  void rangeEndPressed(int end);  // 1 left, 2 right
  void sliderMoved(int position);
  // A box of the range bar clicked: the slider goes there and picks it, box 0 included.
  void rangeBoxPressed(int box);

 protected:
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QGroupBox* buildCube();
  QGroupBox* buildMetals();
  QGroupBox* buildRange();
  QGroupBox* buildUserColours();
  void paintRange();
  void loadUserColours();

  Gui& gui_;
  std::string target_;
  int rangePending_ = 0;       // 1 or 2 while the next colour sets a range end
  bool storePending_ = false;  // the slider's colour waits for a user colour button
  ColourButton* left_;
  ColourButton* right_;
  std::array<QLabel*, 63> bar_{};
  std::array<ColourButton*, 18> user_{};
  QSlider* slider_;
  QLabel* preview_;
  QLabel* previewNo_;
  QLabel* prompt_;
  QLabel* targetName_;
  long previewValue_ = 0;
};

}  // namespace kelmor
