#include "gui_fixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <sstream>

#include "settings/preferences.h"
#include "ui/draw_window.h"
#include "ui/file_lists.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"

namespace kelmor::testing {

bool ScriptedDialogs::saw(const std::string& text) const {
  for (const std::string& m : messages)
    if (m == text) return true;
  return false;
}

bool ScriptedDialogs::sawStart(const std::string& start) const {
  for (const std::string& m : messages)
    if (m.rfind(start, 0) == 0) return true;
  return false;
}

void GuiTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  root_ = fs::path(dir_.path().toStdString());
  fs::create_directories(root_ / "in");
  fs::create_directories(root_ / "out");
  session_.programFolder = root_.string();
  session_.settingsPath = (root_ / "kelmor.ini").string();
  session_.prefs = Preferences(session_.programFolder);
  session_.seed = 12345;
  gui_ = std::make_unique<Gui>(session_, dialogs_);
  gui_->quit = [this] { quitCalled_ = true; };
  gui_->recent.setPath(QString::fromStdString((root_ / "recent-files").string()));
  gui_->start();
}

void GuiTest::TearDown() {
  for (QWidget* w : gui_->windows()) w->hide();
  gui_.reset();
}

void GuiTest::click(QWidget* window, const char* name) {
  auto* b = control<QAbstractButton>(window, name);
  if (!b) return;
  ASSERT_TRUE(b->isEnabled()) << name << " is disabled";
  // Check boxes and option buttons answer on their indicator and caption only, which
  // need not reach the middle of a stretched control.
  bool indicator = qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b);
  QTest::mouseClick(b, Qt::LeftButton, {}, indicator ? QPoint(6, b->height() / 2) : b->rect().center());
}

void GuiTest::type(QWidget* window, const char* name, const QString& text) {
  auto* e = control<QLineEdit>(window, name);
  if (!e) return;
  e->selectAll();
  if (text.isEmpty()) {
    QTest::keyClick(e, Qt::Key_Delete);
  } else {
    QTest::keyClicks(e, text);
  }
  ASSERT_EQ(e->text(), text);
}

namespace {

QWidget* KeyTarget(QWidget* window) {
  // Activation is asynchronous on some platforms.
  for (int i = 0; i < 50 && QApplication::activeWindow() != window; ++i) {
    window->activateWindow();
    QTest::qWait(5);
  }
  EXPECT_EQ(QApplication::activeWindow(), window)
      << window->objectName().toStdString() << " is not the active window";
  QWidget* focus = window->focusWidget();
  return focus && focus->isVisible() ? focus : window;
}

}  // namespace

void GuiTest::key(QWidget* window, int key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(KeyTarget(window), static_cast<Qt::Key>(key), modifiers);
  // A button's Alt key presses it with a short animation, as a click would look.
  if (modifiers & Qt::AltModifier) QTest::qWait(150);
  QApplication::processEvents();
}

void GuiTest::keys(QWidget* window, const QString& text) {
  QTest::keyClicks(KeyTarget(window), text);
  QApplication::processEvents();
}

std::string GuiTest::writeInput(const std::string& name, const std::string& text) {
  fs::path p = root_ / "in" / name;
  std::ofstream(p, std::ios::binary) << text;
  return p.string();
}

std::string GuiTest::copyExample(const std::string& example, const std::string& as) {
  fs::path p = root_ / "in" / as;
  fs::copy_file(fs::path(KELMOR_SOURCE_DIR) / "examples" / example, p,
                fs::copy_options::overwrite_existing);
  return p.string();
}

void GuiTest::chooseFile(const std::string& name) {
  Intro* intro = gui_->intro();
  auto* file = control<QWidget>(intro, "F");
  ASSERT_NE(file, nullptr);
  QTest::mouseClick(file, Qt::LeftButton, {}, file->rect().center());
  Kelmor* k = gui_->kelmor();
  ASSERT_TRUE(k->isVisible());
  ASSERT_FALSE(intro->isVisible());
  control<FolderList>(k, "InDir")->setPath(QString::fromStdString(inputFolder()));
  auto* list = control<FileList>(k, "InFile");
  auto found = list->findItems(QString::fromStdString(name), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << name << " is not listed";
  QRect r = list->visualItemRect(found.first());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  ASSERT_EQ(session_.input.InFile, name);
}

RunDriver::RunDriver(Gui& gui, std::function<bool()> step, int maxPolls) : gui_(gui) {
  timer_.setInterval(0);
  QObject::connect(&timer_, &QTimer::timeout, [this, step, maxPolls] {
    if (!gui_.drawWindow()->isVisible()) return;
    ++polls_;
    if (!done_ && polls_ <= maxPolls) done_ = step();
    if (done_ || polls_ > maxPolls) Press(gui_, "QuitButton");
  });
  timer_.start();
}

RunDriver::~RunDriver() { timer_.stop(); }

// The session is filled in before the windows are made from it.
static Session SessionAfter(const Session& before) {
  Session next;
  next.programFolder = before.programFolder;
  next.settingsPath = before.settingsPath;
  next.prefs = Preferences(next.programFolder);
  return next;
}

NextStart::NextStart(const Session& before, const Gui& first) : session(SessionAfter(before)) {
  gui.recent.setPath(first.recent.path());
}

void Press(Gui& gui, const char* name) {
  auto* b = gui.drawWindow()->findChild<QPushButton*>(name);
  ASSERT_NE(b, nullptr) << name;
  QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

}  // namespace kelmor::testing
