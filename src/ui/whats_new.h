#pragma once

#include <QWidget>

namespace kelmor {

// "Kelmor - What's New": the release notes.
class WhatsNew : public QWidget {
  Q_OBJECT
 public:
  WhatsNew();
  static QString notesText();
};

}  // namespace kelmor
