// The window tests share one QApplication, offscreen unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Nothing the windows keep between sessions (recent files) reaches the user's own.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kelmor");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
