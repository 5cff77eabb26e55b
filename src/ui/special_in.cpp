#include "ui/special_in.h"

#include <QCloseEvent>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "input/parser.h"
#include "input/shape.h"
#include "run/session.h"
#include "ui/bind.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/intro.h"
#include "ui/keys.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"

namespace kelmor {

SpecialIn::SpecialIn(Gui& gui) : gui_(gui) {
  setObjectName("SpecialIn");
  setWindowTitle("Kelmor Predefined Input");
  SpecialChoice& choice = gui_.session.special;

  auto* shapeBox = new QGroupBox("Shape");
  auto* shapes = new QVBoxLayout(shapeBox);
  options_ = new QButtonGroup(this);
  options_->setObjectName("SpecialOption");
  const char* captions[4] = {"Polygon", "Pyramid", "Prism", "Antiprism"};
  for (int i = 0; i < 4; ++i) {
    QRadioButton* b = NamedOption("SpecialOption" + QString::number(i), captions[i]);
    options_->addButton(b, i);
    shapes->addWidget(b);
  }
  connect(options_, &QButtonGroup::idToggled, this, [&choice](int id, bool on) {
    choice.SpecialOption[static_cast<size_t>(id)] = on;
  });

  auto* nd = NamedEdit("Specialnd", 80);
  BindText(nd, choice.Specialnd);
  auto* ndRow = new QHBoxLayout;
  auto* ndLabel = new QLabel("n/d");
  ndLabel->setObjectName("Label1");
  ndLabel->setBuddy(nd);
  ndRow->addWidget(ndLabel);
  ndRow->addWidget(nd);
  ndRow->addStretch(1);

  auto* run = NamedButton("RunOK", "&Run");
  auto* cancel = NamedButton("Cancel", "&Cancel");
  QHBoxLayout* buttons = ButtonRow({}, {run, cancel});

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(shapeBox);
  layout->addLayout(ndRow);
  layout->addLayout(buttons);
  setMinimumWidth(300);

  connect(run, &QPushButton::clicked, this, &SpecialIn::runOkClick);
  connect(cancel, &QPushButton::clicked, this, &SpecialIn::cancelClick);
  WireKeys(this, run, cancel, [this] { gui_.openHelp(); });
}

void SpecialIn::open() {
  SelectOption(options_, -1);
  gui_.session.special.clear();
  ShowEnabled(this);
}

void SpecialIn::runOkClick() {
  Session& s = gui_.session;
  if (auto error = ValidateSpecialChoice(s.special)) {
    gui_.dialogs.message(*error);
    return;
  }
  RunTime* rt = gui_.runTime();
  // A shape has one segment: nothing left over from an earlier segmented input.
  rt->prepare(ScanResult{});
  rt->setRunName(ShapeBaseName(s.special));
  ShowEnabled(rt);
  HideDisabled(this);
  // The file-selection window stays out of the way until the main window asks for it.
  gui_.kelmor()->hide();
  rt->disableForShape();
}

void SpecialIn::cancelClick() {
  ShowEnabled(gui_.intro());
  HideDisabled(this);
  gui_.kelmor()->hide();
}

void SpecialIn::closeEvent(QCloseEvent* event) {
  event->ignore();
  cancelClick();
}

}  // namespace kelmor
