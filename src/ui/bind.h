#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kelmor {

class CheckBox;
class Preferences;

// Controls are created with their control name as objectName, so tests and the
// screenshot option find them by name.
QLineEdit* NamedEdit(const QString& name, int width = 0);
CheckBox* NamedBox(const QString& name, const QString& caption);
QPushButton* NamedButton(const QString& name, const QString& caption);
QRadioButton* NamedOption(const QString& name, const QString& caption);
// A window's bottom row: the left controls, a stretch, the right buttons; the first
// right button is the default.
QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> left,
                       std::initializer_list<QPushButton*> right);

// Window values live in the Session; a control shows its value and writes every change
// straight back, so a run always reads what the window shows.
void BindText(QLineEdit* edit, std::string& target);
void BindBox(CheckBox* box, int& target);
// Option buttons: target holds the chosen id, -1 when none is chosen.
void BindGroup(QButtonGroup* group, int& target);
// Chooses the option with this id; -1 clears every option of the group.
void SelectOption(QButtonGroup* group, int id);

// Preference fields: text boxes and flag boxes bound to keys of the preference set.
class PrefBinding {
 public:
  explicit PrefBinding(Preferences& prefs) : prefs_(prefs) {}
  void text(QLineEdit* edit, const char* key);
  void flag(QAbstractButton* box, const char* key);
  // Shows the preference set's current values (after loading, Reset, saving).
  void refresh();

 private:
  Preferences& prefs_;
  std::vector<std::function<void()>> refreshers_;
};

}  // namespace kelmor
