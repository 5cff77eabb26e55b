#include "ui/intro.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "run/session.h"
#include "settings/settings_file.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/bind.h"
#include "ui/help_ref.h"
#include "ui/keys.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"
#include "ui/special_in.h"
#include "ui/result_view.h"
#include "ui/user_pref.h"

namespace kelmor {

Intro::Intro(Gui& gui) : gui_(gui) {
  setObjectName("Intro");
  setWindowTitle("Kelmor");

  auto* bar = new QToolBar;
  bar->setObjectName("Toolbar1");
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setIconSize(QSize(32, 32));
  bar->setMovable(false);
  struct Tool {
    const char* caption;
    const char* key;
    const char* tip;
    QStyle::StandardPixmap icon;
    void (Intro::*slot)();
    QKeySequence extra;  // besides Alt and the key letter
  };
  const Tool tools[] = {
      {"File", "F", "Load File to Kelmor", QStyle::SP_DialogOpenButton, &Intro::fileClick,
       QKeySequence::Open},
      {"Preferences", "P", "Amend User Preferences", QStyle::SP_FileDialogDetailedView,
       &Intro::preferencesClick, QKeySequence()},
      {"Solid", "S", "View an OFF File as a Solid", QStyle::SP_FileDialogContentsView, &Intro::solidClick,
       QKeySequence()},
      {"Help", "H", "Help Information", QStyle::SP_DialogHelpButton, &Intro::helpClick,
       QKeySequence(Qt::Key_F1)},
      {"Quit", "Q", "Quit Kelmor", QStyle::SP_DialogCloseButton, &Intro::quitClick,
       QKeySequence(Qt::CTRL | Qt::Key_Q)},
  };
  QWidget* first = nullptr;
  for (const Tool& t : tools) {
    QAction* a = bar->addAction(style()->standardIcon(t.icon), t.caption);
    a->setObjectName(t.key);
    a->setToolTip(t.tip);
    // The caption's first letter underlined under the icon; the button's own mnemonic
    // (Alt and the letter) presses it, so the action takes only the other keys.
    a->setIconText(QString("&") + t.caption);
    if (!t.extra.isEmpty()) a->setShortcut(t.extra);
    a->setShortcutContext(Qt::WindowShortcut);
    QWidget* button = bar->widgetForAction(a);
    button->setObjectName(t.key);
    // Reachable with Tab; Enter or Space presses the focused one.
    button->setFocusPolicy(Qt::StrongFocus);
    if (!first) first = button;
    connect(a, &QAction::triggered, this, t.slot);
  }

  auto* title = new QLabel("Kelmor");
  title->setObjectName("Title");
  QFont big = title->font();
  big.setPointSize(big.pointSize() * 3);
  big.setBold(true);
  title->setFont(big);
  auto* subtitle = new QLabel("Polyhedra by relaxation");
  subtitle->setObjectName("Subtitle");
  QFont mid = subtitle->font();
  mid.setPointSize(mid.pointSize() + 3);
  subtitle->setFont(mid);
  auto* version = new QLabel("Version " + QString::fromStdString(gui_.session.VersionText));
  version->setObjectName("Version");
  auto* about = new QLabel(
      "Describe a polyhedron by its faces in a text file; Kelmor finds the vertex\n"
      "positions by relaxation and writes VRML 2.0 scenes and an OFF file.");
  about->setObjectName("Label1");
  auto* credit = new QLabel("Free software, for polyhedron modellers.");
  // The way back to the run-time options with the input of the last run; shown once a
  // run has ended.
  runAgain_ = NamedButton("RunAgain", "Run &again");
  runAgain_->setToolTip("Run the last input again (F5)");
  runAgain_->hide();
  lastRun_ = new QLabel;
  lastRun_->setObjectName("LastRun");
  lastRun_->hide();
  connect(runAgain_, &QPushButton::clicked, this, &Intro::runAgainClick);
  auto* again = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(again, &QShortcut::activated, this, [this] {
    if (runAgain_->isVisible()) runAgainClick();
  });
  credit->setObjectName("Label2");
  for (QLabel* l : {title, subtitle, version, about, credit}) l->setAlignment(Qt::AlignHCenter);

  auto* body = new QVBoxLayout;
  body->setContentsMargins(24, 16, 24, 20);
  body->setSpacing(8);
  body->addWidget(title);
  body->addWidget(subtitle);
  body->addSpacing(8);
  body->addWidget(about);
  body->addWidget(credit);
  body->addSpacing(8);
  body->addWidget(version);
  auto* againRow = new QHBoxLayout;
  againRow->addStretch(1);
  againRow->addWidget(lastRun_);
  againRow->addWidget(runAgain_);
  againRow->addStretch(1);
  body->addLayout(againRow);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addLayout(body);
  layout->addStretch(1);

  // Enter presses the focused toolbar button, or File when none has the focus.
  // Escape never quits: that is Ctrl+Q, Alt+F4 or Quit.
  WireKeys(this, qobject_cast<QAbstractButton*>(first), nullptr, nullptr, false);
  setFocusProxy(first);
}

void Intro::setLastRun(const QString& name) {
  lastRun_->setText("Last run: " + name);
  lastRun_->setVisible(!name.isEmpty());
  runAgain_->setVisible(!name.isEmpty());
}

void Intro::runAgainClick() {
  // A shape is chosen only when the last run was a shape; a file run clears it.
  if (gui_.session.special.any()) {
    gui_.specialIn()->runOkClick();
  } else {
    gui_.kelmor()->runClick();
  }
  if (!gui_.runTime()->isVisible()) return;  // the input is gone: the message is shown
  HideDisabled(this);
}

void Intro::load() {
  Session& s = gui_.session;
  LoadSettings(s.prefs, s.settingsPath, s.programFolder,
               [this](const std::string& text) { gui_.dialogs.message(text); });
  gui_.kelmor()->loadFolders();
}

void Intro::fileClick() {
  ShowEnabled(gui_.kelmor());
  gui_.kelmor()->refreshLists();
  HideDisabled(this);
}

void Intro::preferencesClick() {
  gui_.userPref()->openSaving();
  HideDisabled(this);
}

void Intro::helpClick() { ShowEnabled(gui_.helpRef()); }

void Intro::solidClick() {
  // Solutions are written to the output folder: the dialog starts there.
  const InputSelection& in = gui_.session.input;
  const std::string path = gui_.dialogs.chooseFile("View an OFF File as a Solid", "OFF files (*.off);;All files (*)",
                                                   in.OutSame ? in.InDir : in.OutDir);
  if (path.empty()) return;
  ResultView* view = gui_.resultView();
  view->clearSolutions();
  if (!view->showFile(QString::fromStdString(path))) {
    gui_.dialogs.message(view->summaryText().toStdString());
    return;
  }
  ShowEnabled(view);
  view->raise();
}

void Intro::quitClick() {
  HideDisabled(this);
  if (gui_.quit) gui_.quit();
}

void Intro::closeEvent(QCloseEvent* event) {
  event->accept();
  if (gui_.quit) gui_.quit();
}

}  // namespace kelmor
