#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "run/session.h"
#include "support/file_text.h"
#include "ui/dialogs.h"
#include "ui/gui.h"

namespace kelmor::testing {

namespace fs = std::filesystem;

// Answers every message box at once and keeps its text; a test may act on a message
// (press a viewer button, say) through onMessage.
class ScriptedDialogs : public Dialogs {
 public:
  void message(const std::string& text) override {
    messages.push_back(text);
    if (onMessage) onMessage(text);
  }
  bool askYesNo(const std::string& text) override {
    messages.push_back(text);
    return yes;
  }
  bool askOkCancel(const std::string& text) override {
    messages.push_back(text);
    return ok;
  }
  void messageWithDetail(const std::string& text, const std::string& detail) override {
    details.push_back(detail);
    message(text);
  }
  bool saw(const std::string& text) const;
  bool sawStart(const std::string& start) const;
  std::string last() const { return messages.empty() ? std::string() : messages.back(); }

  std::vector<std::string> messages;
  std::vector<std::string> details;  // second lines, in order
  std::function<void(const std::string&)> onMessage;
  bool yes = false;  // questions answered No / Cancel unless a test says otherwise
  bool ok = false;
};

// A fresh program per test: its own kelmor.ini in a temporary folder, every window,
// and the main window open.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <class T = QWidget>
  T* control(QWidget* window, const char* name) {
    T* c = window->findChild<T*>(name);
    if (!c) ADD_FAILURE() << "no control " << name << " in " << window->objectName().toStdString();
    return c;
  }
  // Clicks a button (or a check box, an option button) with the mouse.
  void click(QWidget* window, const char* name);
  void type(QWidget* window, const char* name, const QString& text);
  // An input folder with a copy of an example solid, or a file with the given text.
  std::string inputFolder() const { return (root_ / "in").string(); }
  std::string writeInput(const std::string& name, const std::string& text);
  std::string copyExample(const std::string& example, const std::string& as);
  // The file-selection window with the input folder open and name selected.
  void chooseFile(const std::string& name);
  // A key pressed as a person would: into the focused control of window, which must be
  // the active window.
  void key(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  void keys(QWidget* window, const QString& text);

  fs::path root_;
  QTemporaryDir dir_;
  Session session_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<Gui> gui_;
  bool quitCalled_ = false;
};

// Drives a run from inside its button polls: step is called at every poll (a zero
// timer fires whenever the run lets window events through) until it returns true;
// then the viewer's Quit is pressed. A run that is not done after maxPolls is quit too.
class RunDriver {
 public:
  RunDriver(Gui& gui, std::function<bool()> step, int maxPolls = 20000);
  ~RunDriver();
  bool finished() const { return done_; }
  int polls() const { return polls_; }

 private:
  Gui& gui_;
  QTimer timer_;
  bool done_ = false;
  int polls_ = 0;
};

// The program started again after the test's own has quit: the same settings file and
// recent list, a fresh session, and dialogs that answer every question No.
struct NextStart {
  NextStart(const Session& before, const Gui& first);
  Session session;
  ScriptedDialogs dialogs;
  Gui gui{session, dialogs};
};

// Presses a button of the viewer.
void Press(Gui& gui, const char* name);

}  // namespace kelmor::testing
