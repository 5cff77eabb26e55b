#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace kelmor {

class Gui;

// The main window: the program's name, version and the toolbar File, Preferences,
// Help, Quit.
class Intro : public QWidget {
  Q_OBJECT
 public:
  explicit Intro(Gui& gui);

  // Form load: reads kelmor.ini and passes the folders to the file-selection window.
  void load();

  void fileClick();
  void preferencesClick();
  void helpClick();
  void solidClick();
  void quitClick();
  // Back to the run-time options with the input of the last run (file or shape).
  void runAgainClick();
  // After a run: names its input beside the Run again button.
  void setLastRun(const QString& name);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Gui& gui_;
  QPushButton* runAgain_;
  QLabel* lastRun_;
};

}  // namespace kelmor
