#pragma once

#include <QCheckBox>

namespace kelmor {

// A check box with the three values of the windows: 0 clear, 1 ticked, 2 greyed. Only
// the program sets the greyed value; a click toggles between clear and ticked.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit CheckBox(const QString& text, QWidget* parent = nullptr);

  int value() const;
  void setValue(int v);

 protected:
  void nextCheckState() override;
};

}  // namespace kelmor
