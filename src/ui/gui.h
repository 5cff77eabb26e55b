#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "ui/recent_files.h"

class QWidget;

namespace kelmor {

struct Session;
class Dialogs;
class Intro;
class Kelmor;
class RunTime;
class SegmentOptions;
class SpecialIn;
class DrawWindow;
class HelpRef;
class WhatsNew;
class UserPref;
class ColourPref;
class ColourPick;
class ResultView;

// The program's windows, one of each, created together and living as long as the
// Session they show. Windows reach each other through here for their transitions.
class Gui {
 public:
  Gui(Session& session, Dialogs& dialogs);
  ~Gui();
  Gui(const Gui&) = delete;
  Gui& operator=(const Gui&) = delete;

  Session& session;
  Dialogs& dialogs;
  // Ends the program (the main window's Quit); tests replace it.
  std::function<void()> quit;
  // The input files run lately, offered by the file-selection window.
  RecentFiles recent;

  Intro* intro() const { return intro_.get(); }
  Kelmor* kelmor() const { return kelmor_.get(); }
  RunTime* runTime() const { return runTime_.get(); }
  SegmentOptions* segmentOptions() const { return segmentOptions_.get(); }
  SpecialIn* specialIn() const { return specialIn_.get(); }
  DrawWindow* drawWindow() const { return drawWindow_.get(); }
  HelpRef* helpRef() const { return helpRef_.get(); }
  WhatsNew* whatsNew() const { return whatsNew_.get(); }
  UserPref* userPref() const { return userPref_.get(); }
  ColourPref* colourPref() const { return colourPref_.get(); }
  ColourPick* colourPick() const { return colourPick_.get(); }
  ResultView* resultView() const { return resultView_.get(); }

  // Every window; window(name) finds one by its class name ("RunTime"), or nullptr.
  std::vector<QWidget*> windows() const;
  QWidget* window(const QString& className) const;

  // Start-up: the main window loads the settings and opens.
  void start();
  // The help window over whichever window asked (F1 anywhere).
  void openHelp() const;

 private:
  std::unique_ptr<Intro> intro_;
  std::unique_ptr<Kelmor> kelmor_;
  std::unique_ptr<RunTime> runTime_;
  std::unique_ptr<SegmentOptions> segmentOptions_;
  std::unique_ptr<SpecialIn> specialIn_;
  std::unique_ptr<DrawWindow> drawWindow_;
  std::unique_ptr<HelpRef> helpRef_;
  std::unique_ptr<WhatsNew> whatsNew_;
  std::unique_ptr<UserPref> userPref_;
  std::unique_ptr<ColourPref> colourPref_;
  std::unique_ptr<ColourPick> colourPick_;
  std::unique_ptr<ResultView> resultView_;
};

// The two halves of every window transition. A window is shown inside the screen's work
// area (see FitToWorkArea) and takes the keyboard.
void ShowEnabled(QWidget* window);
void HideDisabled(QWidget* window);
// Shows a window (when hidden) without taking the keyboard from the active one.
void ShowBeside(QWidget* window);
// Shrinks a window that would not fit its screen's work area with its frame, and moves it
// inside. Before the window manager has framed it, a title bar's allowance is assumed.
void FitToWorkArea(QWidget* window);

}  // namespace kelmor
