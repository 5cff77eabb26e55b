#include "ui/result_view.h"
#include "ui/gui.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
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

void FitToWorkArea(QWidget* window) {
  const QScreen* screen = window->screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QRect inner = window->geometry(), outer = window->frameGeometry();
  QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                 outer.bottom() - inner.bottom());
  if (frame.isNull()) frame = QMargins(4, 4 + 2 * window->fontMetrics().height(), 4, 4);
  const QSize room = area.size().shrunkBy(frame);
  const QSize size = window->size().boundedTo(room).expandedTo(window->minimumSize());
  if (size != window->size()) window->resize(size);
  const QSize whole = size.grownBy(frame);
  const int x = std::clamp(outer.left(), area.left(), std::max(area.left(), area.right() + 1 - whole.width()));
  const int y = std::clamp(outer.top(), area.top(), std::max(area.top(), area.bottom() + 1 - whole.height()));
  if (QPoint(x, y) != outer.topLeft()) window->move(x, y);
}

namespace {

// The window manager frames and places a window some time after it is shown, and its real
// title bar may be taller than the allowance: for a while after showing, every move or
// resize of the window fits it again (a user's own moves later are left alone).
class KeepInWorkArea : public QObject {
 public:
  static constexpr const char* Name = "KeepInWorkArea";
  explicit KeepInWorkArea(QWidget* window) : QObject(window) {
    setObjectName(Name);
    window->installEventFilter(this);
    QTimer::singleShot(2000, this, [this] { deleteLater(); });
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = static_cast<QWidget*>(watched);
    const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (placed && window->isVisible() && !fitting_ && window->frameGeometry() != window->geometry()) {
      fitting_ = true;
      FitToWorkArea(window);
      fitting_ = false;
    }
    return false;
  }

 private:
  bool fitting_ = false;
};

void RefitWhenFramed(QWidget* window) {
  if (!window->findChild<QObject*>(KeepInWorkArea::Name, Qt::FindDirectChildrenOnly)) new KeepInWorkArea(window);
  QTimer::singleShot(200, window, [window] {
    if (window->isVisible()) FitToWorkArea(window);
  });
}

}  // namespace

void ShowEnabled(QWidget* window) {
  window->setEnabled(true);
  FitToWorkArea(window);
  window->show();
  RefitWhenFramed(window);
  window->raise();
  window->activateWindow();
}

void ShowBeside(QWidget* window) {
  window->setEnabled(true);
  if (window->isVisible()) return;
  FitToWorkArea(window);
  QWidget* active = QApplication::activeWindow();
  window->setAttribute(Qt::WA_ShowWithoutActivating, true);
  window->show();
  window->setAttribute(Qt::WA_ShowWithoutActivating, false);
  // Platforms that activate every window shown anyway give the keyboard back.
  if (active && active != window) active->activateWindow();
  RefitWhenFramed(window);
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
  resultView_->help = [this] { openHelp(); };
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
