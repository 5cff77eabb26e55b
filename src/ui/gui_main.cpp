#include "ui/gui_main.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "unattended/companion.h"
#include "cli/gui_args.h"
#include "run/session.h"
#include "settings/settings_file.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/result_view.h"
#include "ui/sample_solid_input.h"

namespace kelmor {

namespace {

// A result window with nothing to show pictures a sample solution: the snub cube, relaxed
// now (seed 1, default preferences) into the temporary folder as a run writes it.
bool ShowSampleSolution(ResultView& view, const QTemporaryDir& folder) {
  if (!folder.isValid()) return false;
  const std::string dir = folder.path().toStdString(), name = kSampleSolidName;
  std::ofstream(dir + "/" + name + ".txt") << kSampleSolidInput;
  std::ostringstream out, err;
  const int status = RunCli({"run", dir + "/" + name + ".txt", "--out", dir, "--seed", "1", "--quiet",
                             "--settings", dir + "/kelmor.ini"},
                            out, err);
  if (status != ExitWritten) {
    std::cerr << "kelmor: the sample solution could not be made: " << err.str();
    return false;
  }
  return view.showFile(QString::fromStdString(dir + "/" + name + ".off"), {},
                       QString::fromStdString(dir + "/" + name + "_solid.wrl"));
}

int Screenshot(const Gui& gui, const GuiArgs& args) {
  QWidget* w = gui.window(QString::fromStdString(args.shotWindow));
  if (!w) {
    std::cerr << "kelmor: no window called '" << args.shotWindow << "'\n";
    return 2;
  }
  QTemporaryDir sample;
  if (w == gui.resultView() && args.show.empty() && !ShowSampleSolution(*gui.resultView(), sample)) return 2;
  // Pictured whole at its own size: the offscreen screen is no desktop to fit.
  w->setEnabled(true);
  w->show();
  QApplication::processEvents();
  if (!w->grab().save(QString::fromStdString(args.shotFile), "PNG")) {
    std::cerr << "kelmor: cannot write '" << args.shotFile << "'\n";
    return 2;
  }
  return 0;
}

}  // namespace

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
  // Started by kelmor, the windows share kelmor.ini beside kelmor.
  const char* launcher = std::getenv(kProgramFolderVariable);
  session.programFolder = launcher && *launcher ? launcher : ProgramFolder();
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
  if (!args.show.empty()) {
    ResultView* view = gui.resultView();
    if (!view->showFile(QString::fromStdString(args.show))) {
      std::cerr << "kelmor: " << view->summaryText().toStdString() << "\n";
      return 2;
    }
    ShowEnabled(view);
  }
  if (shot) return Screenshot(gui, args);
  return QApplication::exec();
}

}  // namespace kelmor
