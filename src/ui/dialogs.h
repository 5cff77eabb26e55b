#pragma once

#include <string>

class QWidget;

namespace kelmor {

// Every message box of the windows goes through here, so that tests can answer the
// boxes without a real modal dialog.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void message(const std::string& text) = 0;      // an OK box
  virtual bool askYesNo(const std::string& text) = 0;     // true: Yes
  virtual bool askOkCancel(const std::string& text) = 0;  // true: OK
};

// Real modal message boxes over the active window, titled with the application's name.
class MessageBoxDialogs : public Dialogs {
 public:
  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
};

}  // namespace kelmor
