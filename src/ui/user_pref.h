#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QButtonGroup;

namespace kelmor {

class Gui;
class PrefBinding;
class CheckBox;

// "Kelmor User Preferences": every preference that is not a colour. Opened from the
// main window it saves kelmor.ini; opened from the run-time options (run-only mode) it
// changes the next run only.
class UserPref : public QWidget {
  Q_OBJECT
 public:
  explicit UserPref(Gui& gui);
  ~UserPref() override;

  void openSaving();
  void openRunOnly();
  // Shows the preference set's current values.
  void refresh();

  void cmdOkClick();
  void cmdCancelClick();
  void cmdResetClick();
  void cmdColourClick();

  static const char* const SavingNotice;
  static const char* const RunOnlyNotice;

 protected:
  // Closing the window is its Cancel, so the program never ends up with no window.
  void closeEvent(QCloseEvent* event) override;

 private:
  QGroupBox* buildUser();
  QGroupBox* buildForces();
  QGroupBox* buildFiles();
  QGroupBox* buildDisplay();
  QGroupBox* buildExport();
  void checkVertexSize();
  void leaveRunOnly();
  // The export choice, kept in its own file beside kelmor.ini; false (with a message)
  // when the edge length cannot be read or the file cannot be written.
  void showExports();
  bool saveExports();

  Gui& gui_;
  std::unique_ptr<PrefBinding> binding_;
  QLabel* notice_;
  QLineEdit* vertexSize_;
  QButtonGroup* labelOption_;
  QString vertexSizeSeen_;
  std::vector<CheckBox*> exportBoxes_;
  QLineEdit* exportScale_;
};

}  // namespace kelmor
