#pragma once

#include <QWidget>

class QToolBar;

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
  void quitClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Gui& gui_;
};

}  // namespace kelmor
