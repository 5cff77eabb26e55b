#include "ui/keys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

namespace kelmor {

namespace {

// Sees the Enter keys that the focused control left alone (a text box passes Enter on
// to its window, as in a dialog).
class EnterFilter : public QObject {
 public:
  EnterFilter(QWidget* window, QAbstractButton* enter) : QObject(window), enter_(enter) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    // A list acts on its own item; the event reaches the window only because the list
    // leaves it unaccepted.
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QAbstractItemView*>(focus)) return false;
    // A focused button (reached with Tab) is the one Enter presses, as in a dialog.
    auto* focused = qobject_cast<QAbstractButton*>(focus);
    if (focused && !qobject_cast<QCheckBox*>(focused) && !qobject_cast<QRadioButton*>(focused) &&
        focused->window() == watched)
      return PressIfUsable(focused);
    return PressIfUsable(enter_);
  }

 private:
  QAbstractButton* enter_;
};

}  // namespace

bool PressIfUsable(QAbstractButton* button) {
  if (!button || !button->isVisible() || !button->isEnabled() || !button->window()->isEnabled())
    return false;
  button->click();
  return true;
}

void WireKeys(QWidget* window, QAbstractButton* enter, QAbstractButton* escape,
              std::function<void()> help, bool escapeCloses) {
  window->installEventFilter(new EnterFilter(window, enter));
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  QObject::connect(esc, &QShortcut::activated, window, [window, escape, escapeCloses] {
    if (escape) {
      PressIfUsable(escape);
    } else if (escapeCloses && window->isEnabled()) {
      window->close();
    }
  });
  if (help) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(f1, &QShortcut::activated, window, std::move(help));
  }
}

}  // namespace kelmor
