#pragma once

#include <string>

class QWidget;

namespace kelmor {

// How a message box looks: its icon.
enum class Tone { Information, Question, Warning, Critical };

// The tone of a message by its text: the error handler's reports and failures to save
// are critical, refused input and options a warning, the rest information. Questions
// are questions, except the error handler's "attempting to resume", which is critical.
Tone MessageTone(const std::string& text);
Tone QuestionTone(const std::string& text);

// Every message box of the windows goes through here, so that tests can answer the
// boxes without a real modal dialog.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void message(const std::string& text) = 0;      // an OK box
  virtual bool askYesNo(const std::string& text) = 0;     // true: Yes
  virtual bool askOkCancel(const std::string& text) = 0;  // true: OK
  // An OK box with a second line under the text (where files went, say).
  virtual void messageWithDetail(const std::string& text, const std::string& detail) {
    (void)detail;
    message(text);
  }
  // A file to open, chosen by the user (filter as "OFF files (*.off)"), starting in
  // folder (empty: the working folder); empty: none.
  virtual std::string chooseFile(const std::string& caption, const std::string& filter,
                                 const std::string& folder = {}) {
    (void)caption, (void)filter, (void)folder;
    return {};
  }
};

// Real modal message boxes over the active window, titled with the application's name,
// with the icon of their tone.
class MessageBoxDialogs : public Dialogs {
 public:
  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  void messageWithDetail(const std::string& text, const std::string& detail) override;
  std::string chooseFile(const std::string& caption, const std::string& filter,
                         const std::string& folder = {}) override;
};

}  // namespace kelmor
