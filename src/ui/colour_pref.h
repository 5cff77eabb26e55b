#pragma once

#include <QWidget>
#include <memory>
#include <string>

namespace kelmor {

class Gui;
class PrefBinding;

// "Kelmor Colour Preferences": every colour preference as a text box with a colour
// button beside it; a button opens the colour table to choose its colour by sight.
class ColourPref : public QWidget {
  Q_OBJECT
 public:
  explicit ColourPref(Gui& gui);
  ~ColourPref() override;

  // Shown from the preferences window: every button painted from its text box.
  void open();
  // Text boxes and buttons from the preference set.
  void refresh();
  // The colour table's choice for the button named target.
  void receiveColour(const std::string& target, long value);
  void cmdOkClick();

  // Button, text box and preference key of every colour, in window order.
  struct Entry {
    const char* button;
    const char* box;
    const char* key;
    const char* caption;
  };
  static const Entry* entries(size_t& count);

 protected:
  // Closing the window is its Cancel, so the program never ends up with no window.
  void closeEvent(QCloseEvent* event) override;

 private:
  void paintAll();

  Gui& gui_;
  std::unique_ptr<PrefBinding> binding_;
};

}  // namespace kelmor
