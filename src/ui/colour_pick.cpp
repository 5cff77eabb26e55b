#include "ui/colour_pick.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "run/session.h"
#include "ui/bind.h"
#include "ui/colour_button.h"
#include "ui/colour_pref.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/keys.h"

namespace kelmor {

namespace {

std::string UserKey(int i) {
  return std::string("uc") + static_cast<char>('0' + i / 10) + static_cast<char>('0' + i % 10);
}

void PaintBox(QLabel* box, Rgb c) {
  box->setStyleSheet(QString("background-color: rgb(%1,%2,%3);").arg(c.r).arg(c.g).arg(c.b));
  box->setToolTip(QString::fromStdString(ColourText(c)));
}

}  // namespace

ColourPick::ColourPick(Gui& gui) : gui_(gui) {
  setObjectName("ColourPick");
  setWindowTitle("Kelmor Colour Table");
  // Built in the order they stand: with no tab order set, Tab follows it.
  QGroupBox* cubeBox = buildCube();
  QGroupBox* metalBox = buildMetals();
  QGroupBox* rangeBox = buildRange();
  QGroupBox* userBox = buildUserColours();

  prompt_ = new QLabel;
  prompt_->setObjectName("Prompt");
  auto* cancel = NamedButton("cmdCancel", "&Cancel");
  cancel->setAutoDefault(false);

  // Which preference the chosen colour goes to; the caption stays the table's own.
  targetName_ = new QLabel;
  targetName_->setObjectName("TargetName");
  QFont bold = targetName_->font();
  bold.setBold(true);
  targetName_->setFont(bold);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(targetName_);
  layout->addWidget(cubeBox);
  layout->addWidget(metalBox);
  layout->addWidget(rangeBox);
  layout->addWidget(userBox);
  layout->addLayout(ButtonRow({prompt_}, {cancel}));
  cancel->setDefault(false);

  WireKeys(this, nullptr, cancel, [this] { gui_.openHelp(); });
  connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
  loadUserColours();
}

// The cube: six blocks of six by six, block a, row b, column c.
QGroupBox* ColourPick::buildCube() {
  const int cell = 18;
  auto* cubeBox = new QGroupBox("Colour Cube");
  auto* cube = new QHBoxLayout(cubeBox);
  cube->setSpacing(8);
  for (int a = 0; a < 6; ++a) {
    auto* block = new QGridLayout;
    block->setSpacing(1);
    for (int b = 0; b < 6; ++b)
      for (int c = 0; c < 6; ++c) {
        int n = 36 * a + 6 * b + c;
        Rgb rgb{255 - 51 * a, 255 - 51 * b, 255 - 51 * c};
        auto* button = new ColourButton("Col" + QString::number(n));
        button->setColour(rgb);
        button->setFixedSize(cell, cell);
        block->addWidget(button, b, c);
        connect(button, &QPushButton::clicked, this, [this, rgb] { colourPressed(rgb); });
      }
    cube->addLayout(block);
  }
  return cubeBox;
}

QGroupBox* ColourPick::buildMetals() {
  auto* metalBox = new QGroupBox("Metals");
  auto* metals = new QHBoxLayout(metalBox);
  struct Metal {
    const char* caption;
    Rgb rgb;
  };
  const Metal metal[6] = {{"Stl", {84, 84, 84}},    {"Brs", {181, 166, 66}},
                          {"Brz", {166, 125, 61}},  {"Cu", {184, 115, 51}},
                          {"Ag", {230, 232, 250}},  {"Au", {207, 181, 59}}};
  for (int i = 0; i < 6; ++i) {
    auto* button = new ColourButton("MVal" + QString::number(i), metal[i].caption);
    button->setColour(metal[i].rgb);
    button->setFixedSize(48, 26);
    metals->addWidget(button);
    Rgb rgb = metal[i].rgb;
    connect(button, &QPushButton::clicked, this, [this, rgb] { colourPressed(rgb); });
  }
  metals->addStretch(1);
  return metalBox;
}

// The range bar between XCol1 and XCol2, with the slider that picks a box.
QGroupBox* ColourPick::buildRange() {
  auto* rangeBox = new QGroupBox("Colour Range");
  auto* range = new QGridLayout(rangeBox);
  left_ = new ColourButton("XCol1");
  right_ = new ColourButton("XCol2");
  for (ColourButton* b : {left_, right_}) b->setFixedSize(34, 24);
  auto* bar = new QHBoxLayout;
  bar->setSpacing(0);
  for (int i = 0; i < 63; ++i) {
    bar_[i] = new QLabel;
    bar_[i]->setObjectName("XCol_" + QString::number(i));
    bar_[i]->setFixedSize(10, 24);
    bar_[i]->setCursor(Qt::PointingHandCursor);
    bar_[i]->installEventFilter(this);
    bar->addWidget(bar_[i]);
  }
  slider_ = new QSlider(Qt::Horizontal);
  slider_->setObjectName("Slider1");
  slider_->setRange(0, 62);
  slider_->setFixedWidth(630);
  preview_ = new QLabel;
  preview_->setObjectName("XPCol");
  preview_->setFixedSize(110, 24);
  preview_->setAlignment(Qt::AlignCenter);
  previewNo_ = new QLabel;
  previewNo_->setObjectName("XPNo");
  previewNo_->setMinimumWidth(24);
  range->addWidget(new QLabel("Left"), 0, 0, Qt::AlignHCenter);
  range->addWidget(new QLabel("Right"), 0, 2, Qt::AlignHCenter);
  range->addWidget(left_, 1, 0);
  range->addLayout(bar, 1, 1);
  range->addWidget(right_, 1, 2);
  range->addWidget(slider_, 2, 1);
  auto* previewRow = new QHBoxLayout;
  previewRow->addWidget(new QLabel("Picked:"));
  previewRow->addWidget(preview_);
  previewRow->addWidget(new QLabel("Box:"));
  previewRow->addWidget(previewNo_);
  previewRow->addStretch(1);
  range->addLayout(previewRow, 3, 1);

  connect(left_, &QPushButton::clicked, this, [this] { rangeEndPressed(1); });
  connect(right_, &QPushButton::clicked, this, [this] { rangeEndPressed(2); });
  connect(slider_, &QSlider::valueChanged, this, &ColourPick::sliderMoved);
  // Pressing the slider, or Home, where it already stands picks that box too: without
  // this, box 0 (where the slider starts) could never be picked.
  connect(slider_, &QSlider::sliderPressed, this, [this] { sliderMoved(slider_->value()); });
  connect(slider_, &QSlider::actionTriggered, this,
          [this](int) { sliderMoved(slider_->sliderPosition()); });
  return rangeBox;
}

QGroupBox* ColourPick::buildUserColours() {
  auto* userBox = new QGroupBox("User Defined Colours");
  auto* users = new QHBoxLayout(userBox);
  users->setSpacing(3);
  for (int i = 0; i < 18; ++i) {
    user_[i] = new ColourButton("UCol" + QString::number(i));
    user_[i]->setFixedSize(30, 24);
    users->addWidget(user_[i]);
    connect(user_[i], &QPushButton::clicked, this, [this, i] { userColourPressed(i); });
  }
  users->addStretch(1);
  return userBox;
}

void ColourPick::loadUserColours() {
  const Preferences& p = gui_.session.prefs;
  left_->setColour(ColourOfText(p.text("xcl1")));
  right_->setColour(ColourOfText(p.text("xcl2")));
  for (int i = 0; i < 18; ++i) user_[i]->setColour(ColourOfText(p.text(UserKey(i))));
  paintRange();
}

Rgb ColourPick::rangeColour(int i) const {
  Rgb l = left_->colour(), r = right_->colour();
  auto part = [i](int from, int to) {
    return static_cast<int>(std::floor(from + i * static_cast<double>(to - from) / 63));
  };
  return {part(l.r, r.r), part(l.g, r.g), part(l.b, r.b)};
}

void ColourPick::paintRange() {
  for (int i = 0; i < 63; ++i) PaintBox(bar_[i], rangeColour(i));
}

void ColourPick::chooseFor(const std::string& targetButton) {
  target_ = targetButton;
  QString name = QString::fromStdString(targetButton);
  size_t count = 0;
  const ColourPref::Entry* entries = ColourPref::entries(count);
  for (size_t i = 0; i < count; ++i)
    if (targetButton == entries[i].button) name = entries[i].caption;
  targetName_->setText("Choosing the colour of: " + name);
  rangePending_ = 0;
  storePending_ = false;
  prompt_->clear();
  loadUserColours();
  ShowEnabled(this);
}

void ColourPick::colourPressed(Rgb c) {
  Preferences& p = gui_.session.prefs;
  if (rangePending_ != 0) {
    ColourButton* end = rangePending_ == 1 ? left_ : right_;
    end->setColour(c);
    p.set(rangePending_ == 1 ? "xcl1" : "xcl2", ColourText(c));
    rangePending_ = 0;
    prompt_->clear();
    paintRange();
    return;
  }
  std::string target = target_;
  target_.clear();
  hide();
  gui_.colourPref()->receiveColour(target, ColourValue(c));
}

void ColourPick::userColourPressed(int index) {
  if (storePending_) {
    user_[index]->setColour(ColourOfText(ColourText(previewValue_)));
    gui_.session.prefs.set(UserKey(index), ColourText(previewValue_));
    storePending_ = false;
    prompt_->clear();
    return;
  }
  colourPressed(user_[index]->colour());
}

void ColourPick::rangeEndPressed(int end) {
  rangePending_ = end;
  std::string text = end == 1 ? "Now choose a colour to use as the left range colour"
                              : "Now choose a colour to use as the right range colour";
  prompt_->setText(QString::fromStdString(text));
  gui_.dialogs.message(text);
}

void ColourPick::sliderMoved(int position) {
  Rgb c = rangeColour(position);
  previewValue_ = ColourValue(c);
  PaintBox(preview_, c);
  preview_->setStyleSheet(preview_->styleSheet() + (IsDark(c) ? " color: white;" : " color: black;"));
  preview_->setText(QString::fromStdString(ColourText(c)));
  previewNo_->setText(QString::number(position));
  storePending_ = true;
  prompt_->setText("Now choose a user defined colour to store your selection");
}

void ColourPick::rangeBoxPressed(int box) {
  QSignalBlocker block(slider_);
  slider_->setValue(box);
  sliderMoved(box);
}

bool ColourPick::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    for (int i = 0; i < 63; ++i)
      if (watched == bar_[i]) {
        rangeBoxPressed(i);
        return true;
      }
  }
  return QWidget::eventFilter(watched, event);
}

void ColourPick::hideEvent(QHideEvent* event) {
  // However the table closes, the colour preferences become usable again.
  if (ColourPref* pref = gui_.colourPref()) pref->setEnabled(true);
  QWidget::hideEvent(event);
}

}  // namespace kelmor
