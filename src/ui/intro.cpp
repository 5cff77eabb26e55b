#include "ui/intro.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "run/session.h"
#include "settings/settings_file.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/help_ref.h"
#include "ui/kelmor_window.h"
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
  };
  const Tool tools[] = {
      {"File", "F", "Load File to Kelmor", QStyle::SP_DialogOpenButton, &Intro::fileClick},
      {"Preferences", "P", "Amend User Preferences", QStyle::SP_FileDialogDetailedView,
       &Intro::preferencesClick},
      {"Help", "H", "Help Information", QStyle::SP_DialogHelpButton, &Intro::helpClick},
      {"Quit", "Q", "Quit Kelmor", QStyle::SP_DialogCloseButton, &Intro::quitClick},
  };
  for (const Tool& t : tools) {
    QAction* a = bar->addAction(style()->standardIcon(t.icon), t.caption);
    a->setObjectName(t.key);
    a->setToolTip(t.tip);
    bar->widgetForAction(a)->setObjectName(t.key);
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

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addLayout(body);
  layout->addStretch(1);
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

void Intro::quitClick() {
  HideDisabled(this);
  if (gui_.quit) gui_.quit();
}

void Intro::closeEvent(QCloseEvent* event) {
  event->accept();
  if (gui_.quit) gui_.quit();
}

}  // namespace kelmor
