#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <initializer_list>
#include <optional>
#include <string>

#include "policy/unattended_choice.h"

class QButtonGroup;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace kelmor {

class Gui;
class CheckBox;
struct Run;
struct RunOptions;
struct ScanResult;

// "Kelmor RunTime Options": the options of the next run. Its OK validates them and
// runs; the run happens inside that click, on this thread.
class RunTime : public QWidget {
  Q_OBJECT
 public:
  explicit RunTime(Gui& gui);

  // The file-selection window's preparation for an input file: the Segments button
  // and the boxes that do not apply to segmented input.
  void prepare(const ScanResult& scan);
  // The name shown in the caption: the input file or the shape.
  void setRunName(const std::string& name);
  // The Pref button's caption back to "&Preferences" when the preferences window closes.
  void restorePrefButton();
  // The shape shorthand does not offer weakening, augmentation or highlight selection.
  void disableForShape();

  // The unattended choice as the window shows it, read from its file beside kelmor.ini
  // (a file that cannot be read whole is named in a message; what it lacks stays unticked).
  void loadUnattended();
  // The choice the boxes show; nullopt (the reason shown) when a ticked box's number is
  // not one the run can take.
  std::optional<UnattendedChoice> unattendedShown();

  void runOkClick();
  void runCancelClick();
  void prefClick();
  void segmentsClick();

  // The run in progress (inside runOkClick), for tests; nullptr between runs.
  const Run* activeRun() const { return activeRun_; }

 protected:
  // Closing the window is its Cancel, so the program never ends up with no window.
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* e) override;

 private:
  // The groups of controls, each bound to its options; called once, in this order.
  QGroupBox* buildInflation(RunOptions& o);
  QGroupBox* buildLocalFrame(RunOptions& o);
  QGroupBox* buildAugmentation(RunOptions& o);
  QGroupBox* buildRelaxation(RunOptions& o);
  QGroupBox* buildOutput(RunOptions& o);
  void buildUnattended();
  // The two columns of groups, scrolling above the button row; sized to show them whole.
  void arrange(std::initializer_list<QWidget*> leftGroups, std::initializer_list<QWidget*> rightGroups,
               QHBoxLayout* buttons);
  void connectRules();
  // The fields enabled while box is ticked, now and on every change of it.
  void followBox(CheckBox* box, std::initializer_list<QLineEdit*> fields);
  void formLoad();
  void setCaption();
  void inflateOptionClick(int index);
  void localOptionClick(int index);
  void setSegmentsCaption(const std::string& caption);
  void followUnattended();
  int segmentCount() const;

  Gui& gui_;
  std::string runName_;
  const Run* activeRun_ = nullptr;

  QButtonGroup* inflateOption_;
  QButtonGroup* localOption_;
  QButtonGroup* augmentOption_;
  QButtonGroup* augmentColour_;
  QLineEdit* globLim_;
  QGroupBox* localFrame_;
  std::array<QLineEdit*, 7> localFields_{};  // Min1 Max1 Min2 Max2 Min3 Max3 SelectFace
  CheckBox* sqrtHop_;
  QLineEdit* sqrtMult_;
  QGroupBox* bandFrame_;
  CheckBox* augment_;
  QGroupBox* augFrame_;
  CheckBox* weaken_;
  QLineEdit* weakenLimit_;
  CheckBox* once_;
  CheckBox* isomorph_;
  CheckBox* highlight_;
  QLineEdit* highlightVal_;
  CheckBox* stressMap_;
  QGroupBox* unattendedBox_;
  CheckBox* stallEscape_;
  QLineEdit* stallWindow_;
  CheckBox* search_;
  QLineEdit* searchAfter_;
  UnattendedChoice unattendedRead_;  // as last read from its file
  QPushButton* segments_;
  QPushButton* pref_;
};

}  // namespace kelmor
