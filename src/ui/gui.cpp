#include "ui/result_view.h"
#include "ui/gui.h"

#include <QCoreApplication>
#include <QWidget>

#include "run/session.h"
#include "ui/colour_pick.h"
#include "ui/colour_pref.h"
#include "ui/dialogs.h"
#include "ui/draw_window.h"
#include "ui/help_ref.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"
#include "ui/segment_options.h"
#include "ui/special_in.h"
#include "ui/user_pref.h"
#include "ui/whats_new.h"

namespace kelmor {

void ShowEnabled(QWidget* window) {
  window->setEnabled(true);
  window->show();
  window->raise();
  window->activateWindow();
}

void HideDisabled(QWidget* window) {
  window->hide();
  window->setEnabled(false);
}

Gui::Gui(Session& s, Dialogs& d)
    : session(s), dialogs(d), quit([] { QCoreApplication::quit(); }) {
  recent.setPath(RecentFiles::defaultPath());
  intro_ = std::make_unique<Intro>(*this);
  kelmor_ = std::make_unique<Kelmor>(*this);
  runTime_ = std::make_unique<RunTime>(*this);
  segmentOptions_ = std::make_unique<SegmentOptions>(*this);
  specialIn_ = std::make_unique<SpecialIn>(*this);
  drawWindow_ = std::make_unique<DrawWindow>();
  helpRef_ = std::make_unique<HelpRef>(*this);
  whatsNew_ = std::make_unique<WhatsNew>();
  userPref_ = std::make_unique<UserPref>(*this);
  colourPref_ = std::make_unique<ColourPref>(*this);
  colourPick_ = std::make_unique<ColourPick>(*this);
  resultView_ = std::make_unique<ResultView>();
}

Gui::~Gui() = default;

std::vector<QWidget*> Gui::windows() const {
  std::vector<QWidget*> all = {intro_.get(),     kelmor_.get(),     runTime_.get(),
                               segmentOptions_.get(), specialIn_.get(), drawWindow_.get(),
                               helpRef_.get(),   whatsNew_.get(),   userPref_.get(),
                               colourPref_.get(), colourPick_.get(), resultView_.get()};
  return all;
}

QWidget* Gui::window(const QString& className) const {
  for (QWidget* w : windows())
    if (w && w->objectName() == className) return w;
  return nullptr;
}

void Gui::openHelp() const { ShowEnabled(helpRef_.get()); }

void Gui::start() {
  intro_->load();
  userPref_->refresh();
  colourPref_->refresh();
  ShowEnabled(intro_.get());
}

}  // namespace kelmor
