// Placeholder until the windows land.
#include "ui/gui_main.h"

#include <QApplication>
#include <QMessageBox>

namespace kelmor {
bool WantsGui(int argc, char**) { return argc <= 1; }
int RunGui(int argc, char** argv) {
  QApplication app(argc, argv);
  QMessageBox::information(nullptr, "Kelmor", "The windows are not built yet.");
  return 0;
}
}  // namespace kelmor
