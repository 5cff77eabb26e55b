#include "ui/gui_main.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <cstring>
#include <iostream>
#include <string>

#include "run/session.h"
#include "settings/settings_file.h"
#include "ui/dialogs.h"
#include "ui/gui.h"

namespace kelmor {

namespace {

// The window-only options: --settings FILE and --screenshot WINDOW FILE.
struct GuiArgs {
  std::string settings;
  std::string shotWindow;
  std::string shotFile;
};

bool ParseGuiArgs(int argc, char** argv, GuiArgs& out) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--settings" && i + 1 < argc) {
      out.settings = argv[++i];
    } else if (a.rfind("--settings=", 0) == 0) {
      out.settings = a.substr(std::strlen("--settings="));
    } else if (a == "--screenshot" && i + 2 < argc) {
      out.shotWindow = argv[++i];
      out.shotFile = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

int Screenshot(const Gui& gui, const GuiArgs& args) {
  QWidget* w = gui.window(QString::fromStdString(args.shotWindow));
  if (!w) {
    std::cerr << "kelmor: no window called '" << args.shotWindow << "'\n";
    return 2;
  }
  ShowEnabled(w);
  QApplication::processEvents();
  if (!w->grab().save(QString::fromStdString(args.shotFile), "PNG")) {
    std::cerr << "kelmor: cannot write '" << args.shotFile << "'\n";
    return 2;
  }
  return 0;
}

}  // namespace

bool WantsGui(int argc, char** argv) {
  GuiArgs args;
  return argc <= 1 || ParseGuiArgs(argc, argv, args);
}

int RunGui(int argc, char** argv) {
  GuiArgs args;
  ParseGuiArgs(argc, argv, args);
  bool shot = !args.shotWindow.empty();
  if (shot) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Without a display Qt would abort; say what to do instead.
  if (!shot && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::cerr << "kelmor: no display to open the windows on; on the command line use a "
                 "sub-command (run, shape, scan, prefs; see 'kelmor --help')\n";
    return 2;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("Kelmor");

  Session session;
  session.programFolder = ProgramFolder();
  session.settingsPath = SettingsPath(args.settings, session.programFolder);
  session.prefs = Preferences(session.programFolder);

  // Message boxes on the console during a screenshot: nobody is there to press OK.
  struct ConsoleDialogs : Dialogs {
    void message(const std::string& text) override { std::cerr << text << "\n"; }
    bool askYesNo(const std::string&) override { return false; }
    bool askOkCancel(const std::string&) override { return false; }
  } console;
  MessageBoxDialogs boxes;
  Gui gui(session, shot ? static_cast<Dialogs&>(console) : static_cast<Dialogs&>(boxes));
  gui.start();
  if (shot) return Screenshot(gui, args);
  return QApplication::exec();
}

}  // namespace kelmor
