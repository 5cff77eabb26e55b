#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "run/host.h"

// The test binaries set a poll budget (see pollBudget); the benchmarks run without one.
#ifdef KELMOR_TEST_POLL_BUDGET
#include <gtest/gtest.h>
#else
#define KELMOR_TEST_POLL_BUDGET 0
#endif

namespace kelmor {

// A Host for tests: records everything the engine says or asks, answers questions from
// a script, and presses draw-window buttons on chosen polls.
class TestHost : public Host {
 public:
  // What the engine said, in order.
  std::vector<std::string> messages;           // OK boxes
  std::vector<std::string> yesNoQuestions;
  std::vector<std::string> okCancelQuestions;
  std::vector<std::string> dialogue;           // messages and questions together, in order
  int beeps = 0;

  // Scripted answers, taken from the front; once a script runs dry the default answers.
  std::deque<bool> yesNoAnswers;
  std::deque<bool> okCancelAnswers;
  bool defaultYesNo = false;
  bool defaultOkCancel = true;

  // The draw window.
  bool drawFrames = false;                     // what drawsFrames() reports
  std::map<long, ButtonSet> buttonsAtPoll;     // poll number (from 1) -> buttons pressed
  long polls = 0;
  // A relaxation still running after this many polls (ten iterations each; the example
  // solids settle within a few thousand iterations) has stopped converging: the test
  // fails and Quit is pressed, instead of the loop running on to its bound. 0: no budget.
  long pollBudget = KELMOR_TEST_POLL_BUDGET;
  long framesDrawn = 0;
  std::vector<std::string> captions;           // one per attempt window shown
  std::vector<std::string> statuses;
  std::vector<DrawFigures> figures;
  std::vector<WrittenReport> written;
  std::vector<int> attemptsStarted;
  int hides = 0;

  void message(const std::string& text) override {
    messages.push_back(text);
    dialogue.push_back(text);
  }
  bool askYesNo(const std::string& text) override {
    yesNoQuestions.push_back(text);
    dialogue.push_back(text);
    return Answer(yesNoAnswers, defaultYesNo);
  }
  bool askOkCancel(const std::string& text) override {
    okCancelQuestions.push_back(text);
    dialogue.push_back(text);
    return Answer(okCancelAnswers, defaultOkCancel);
  }
  void beep() override { ++beeps; }

  bool drawsFrames() const override { return drawFrames; }
  void showAttemptWindow(const std::string& caption, bool, std::span<const DepthColour, 16>) override {
    captions.push_back(caption);
  }
  void drawFrame(std::span<const DrawLine>) override { ++framesDrawn; }
  void showFigures(const DrawFigures& f) override { figures.push_back(f); }
  void setStatus(const std::string& text) override { statuses.push_back(text); }
  ButtonSet pollButtons() override {
    if (++polls > pollBudget && pollBudget > 0) {
#if KELMOR_TEST_POLL_BUDGET > 0
      if (polls == pollBudget + 1)
        ADD_FAILURE() << "the relaxation did not settle within " << 10 * pollBudget << " iterations";
#endif
      return QuitButton;
    }
    auto it = buttonsAtPoll.find(polls);
    return it == buttonsAtPoll.end() ? 0 : it->second;
  }
  void hideDrawWindow() override { ++hides; }
  void solutionWritten(const WrittenReport& r) override { written.push_back(r); }
  void attemptStarted(int attempt) override { attemptsStarted.push_back(attempt); }

  // How many OK boxes showed exactly this text.
  int count(const std::string& text) const {
    return static_cast<int>(std::count(messages.begin(), messages.end(), text));
  }
  bool saw(const std::string& text) const { return count(text) > 0; }
  std::string lastMessage() const { return messages.empty() ? std::string() : messages.back(); }
  void clear() {
    messages.clear();
    yesNoQuestions.clear();
    okCancelQuestions.clear();
    dialogue.clear();
  }

 private:
  static bool Answer(std::deque<bool>& script, bool fallback) {
    if (script.empty()) return fallback;
    bool a = script.front();
    script.pop_front();
    return a;
  }
};

}  // namespace kelmor
