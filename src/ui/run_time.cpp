#include "ui/result_view.h"
#include "ui/run_time.h"

#include <QCloseEvent>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <exception>
#include <initializer_list>
#include <memory>
#include <vector>

#include "export/export_settings.h"
#include "input/parser.h"
#include "model/numtext.h"
#include "render/solid_look.h"
#include "model/error.h"
#include "run/run.h"
#include "run/run_sequence.h"
#include "run/run_start_check.h"
#include "run/session.h"
#include "run/validation.h"
#include "ui/bind.h"
#include "ui/check_box.h"
#include "ui/dialogs.h"
#include "ui/draw_window.h"
#include "ui/gui.h"
#include "ui/intro.h"
#include "ui/keys.h"
#include "ui/kelmor_window.h"
#include "ui/qt_host.h"
#include "ui/segment_options.h"
#include "ui/tab_order.h"
#include "ui/user_pref.h"

namespace kelmor {

namespace {

QButtonGroup* OptionGroup(QWidget* owner, const QString& name, int first,
                          const QStringList& captions, QLayout* into) {
  auto* g = new QButtonGroup(owner);
  g->setObjectName(name);
  for (int i = 0; i < captions.size(); ++i) {
    QRadioButton* b = NamedOption(name + QString::number(first + i), captions[i]);
    g->addButton(b, first + i);
    into->addWidget(b);
  }
  return g;
}

QLabel* Caption(const QString& text) {
  auto* l = new QLabel(text);
  return l;
}

// The width of every number field.
constexpr int kNarrow = 60;

}  // namespace

RunTime::RunTime(Gui& gui) : gui_(gui) {
  setObjectName("RunTime");
  RunOptions& o = gui_.session.options;
  QGroupBox* inflateBox = buildInflation(o);
  QGroupBox* augBox = buildAugmentation(o);
  QGroupBox* relaxBox = buildRelaxation(o);
  QGroupBox* outBox = buildOutput(o);
  buildUnattended();
  segments_ = NamedButton("Segments", "None");
  pref_ = NamedButton("Pref", "&Preferences");
  auto* ok = NamedButton("RunOK", "&OK");
  auto* cancel = NamedButton("RunCancel", "&Cancel");
  arrange({inflateBox, augBox}, {relaxBox, outBox, unattendedBox_}, ButtonRow({segments_, pref_}, {ok, cancel}));
  // Tab goes through the groups as they read, left column first, then the buttons.
  SetReadingTabOrder({inflateBox, augBox, relaxBox, outBox, unattendedBox_, segments_, pref_, ok, cancel});
  connectRules();
  connect(ok, &QPushButton::clicked, this, &RunTime::runOkClick);
  connect(cancel, &QPushButton::clicked, this, &RunTime::runCancelClick);
  connect(pref_, &QPushButton::clicked, this, &RunTime::prefClick);
  connect(segments_, &QPushButton::clicked, this, &RunTime::segmentsClick);
  WireKeys(this, ok, cancel, [this] { gui_.openHelp(); });

  formLoad();
  stallEscape_->setValue(0);
  stallWindow_->setText(QString::number(unattendedRead_.stallWindow));
  search_->setValue(0);
  searchAfter_->setText(QString::number(unattendedRead_.searchAfter));
  followUnattended();
}

// Every control a builder makes shows and writes its value in the Session from the start.

QGroupBox* RunTime::buildInflation(RunOptions& o) {
  auto* inflateBox = new QGroupBox("&Inflation");
  auto* inflateLayout = new QVBoxLayout(inflateBox);
  auto* inflateRow = new QHBoxLayout;
  inflateOption_ = OptionGroup(this, "InflateOption", 0,
                               {"Global", "None", "Local 'one'", "Local Diagonal"}, inflateRow);
  inflateRow->addStretch(1);
  inflateLayout->addLayout(inflateRow);
  auto* globRow = new QHBoxLayout;
  globLim_ = NamedEdit("GlobLim", kNarrow);
  globRow->addWidget(Caption("Global Limit (hops):"));
  globRow->addWidget(globLim_);
  globRow->addSpacing(20);
  sqrtHop_ = NamedBox("SqrtHop", "Square-root hop, multiplier:");
  sqrtMult_ = NamedEdit("SqrtMult", kNarrow);
  globRow->addWidget(sqrtHop_);
  globRow->addWidget(sqrtMult_);
  globRow->addStretch(1);
  inflateLayout->addLayout(globRow);
  inflateLayout->addWidget(buildLocalFrame(o));

  bandFrame_ = new QGroupBox("&Bands");
  bandFrame_->setObjectName("Bandframe");
  auto* bandLayout = new QHBoxLayout(bandFrame_);
  auto* bandLen = NamedEdit("BandLen", kNarrow);
  bandLayout->addWidget(Caption("Band Length:"));
  bandLayout->addWidget(bandLen);
  bandLayout->addStretch(1);
  inflateLayout->addWidget(bandFrame_);

  BindGroup(inflateOption_, o.InflateOption);
  BindText(globLim_, o.GlobLim);
  BindBox(sqrtHop_, o.SqrtHop);
  BindText(sqrtMult_, o.SqrtMult);
  BindText(bandLen, o.BandLen);
  bandFrame_->setEnabled(o.BandframeEnabled);
  return inflateBox;
}

QGroupBox* RunTime::buildLocalFrame(RunOptions& o) {
  localFrame_ = new QGroupBox("Local &Diagonal Inflation");
  localFrame_->setObjectName("LocalFrame");
  auto* localLayout = new QVBoxLayout(localFrame_);
  auto* localRow = new QHBoxLayout;
  localOption_ = OptionGroup(this, "LocalOption", 0,
                             {"Value", "Range", "Differential", "Differential Range"}, localRow);
  localRow->addStretch(1);
  localLayout->addLayout(localRow);
  auto* grid = new QGridLayout;
  grid->addWidget(Caption("Minimum"), 0, 1, Qt::AlignHCenter);
  grid->addWidget(Caption("Maximum"), 0, 2, Qt::AlignHCenter);
  const char* rowNames[3] = {"Ordinary faces:", "Star faces:", "Selected faces:"};
  for (int r = 0; r < 3; ++r) {
    QString n = QString::number(r + 1);
    localFields_[2 * r] = NamedEdit("LocInfMin" + n, kNarrow);
    localFields_[2 * r + 1] = NamedEdit("LocInfMax" + n, kNarrow);
    grid->addWidget(Caption(rowNames[r]), r + 1, 0);
    grid->addWidget(localFields_[2 * r], r + 1, 1);
    grid->addWidget(localFields_[2 * r + 1], r + 1, 2);
  }
  localFields_[6] = NamedEdit("SelectFace", kNarrow);
  grid->addWidget(Caption("Selected faces n/d:"), 4, 0);
  grid->addWidget(localFields_[6], 4, 1);
  grid->setColumnStretch(3, 1);
  localLayout->addLayout(grid);

  BindGroup(localOption_, o.LocalOption);
  std::string* localTexts[7] = {&o.LocInfMin1, &o.LocInfMax1, &o.LocInfMin2, &o.LocInfMax2,
                                &o.LocInfMin3, &o.LocInfMax3, &o.SelectFace};
  for (int i = 0; i < 7; ++i) BindText(localFields_[i], *localTexts[i]);
  return localFrame_;
}

QGroupBox* RunTime::buildAugmentation(RunOptions& o) {
  auto* augBox = new QGroupBox("A&ugmentation");
  auto* augLayout = new QVBoxLayout(augBox);
  augment_ = NamedBox("Augment", "&Augment faces");
  augLayout->addWidget(augment_);
  augFrame_ = new QGroupBox("Au&gment Options");
  augFrame_->setObjectName("AugFrame");
  auto* augFrameLayout = new QGridLayout(augFrame_);
  auto* augmentVal = NamedEdit("AugmentVal", kNarrow);
  auto* augValRow = new QHBoxLayout;
  augValRow->addWidget(Caption("Side n/d:"));
  augValRow->addWidget(augmentVal);
  augValRow->addStretch(1);
  augFrameLayout->addLayout(augValRow, 0, 0, 1, 2);
  auto* keepCol = new QVBoxLayout;
  augmentOption_ = OptionGroup(this, "AugmentOption", 1,
                               {"Leave sides in place", "Remove sides", "Leave bands in place"},
                               keepCol);
  auto* colourCol = new QVBoxLayout;
  augmentColour_ = OptionGroup(this, "AugmentColour", 0, {"Original", "Highlight", "Triangle"},
                               colourCol);
  auto* keepBox = new QGroupBox("&Sides");
  keepBox->setLayout(keepCol);
  auto* colourBox = new QGroupBox("Co&lour");
  colourBox->setLayout(colourCol);
  augFrameLayout->addWidget(keepBox, 1, 0);
  augFrameLayout->addWidget(colourBox, 1, 1);
  augLayout->addWidget(augFrame_);

  BindBox(augment_, o.Augment);
  BindText(augmentVal, o.AugmentVal);
  BindGroup(augmentOption_, o.AugmentOption);
  BindGroup(augmentColour_, o.AugmentColour);
  return augBox;
}

QGroupBox* RunTime::buildRelaxation(RunOptions& o) {
  auto* relaxBox = new QGroupBox("&Relaxation");
  auto* relaxLayout = new QGridLayout(relaxBox);
  weaken_ = NamedBox("Weaken", "&Weaken faces of up to");
  weakenLimit_ = NamedEdit("WeakenLimit", kNarrow);
  auto* weakenRow = new QHBoxLayout;
  weakenRow->addWidget(weaken_);
  weakenRow->addWidget(weakenLimit_);
  weakenRow->addWidget(Caption("sides"));
  weakenRow->addStretch(1);
  relaxLayout->addLayout(weakenRow, 0, 0, 1, 2);
  once_ = NamedBox("Once", "Once onl&y");
  once_->setToolTip("Kelmor will only make one attempt to generate an output file");
  isomorph_ = NamedBox("Isomorph", "Iso&morph detection");
  auto* coincidence = NamedBox("Coincidence", "Allow coincident vertices");
  auto* xyConfine = NamedBox("XYConfine", "Keep flat models in the XY plane");
  auto* regHex = NamedBox("RegHex", "Keep hexagons regular");
  relaxLayout->addWidget(once_, 1, 0);
  relaxLayout->addWidget(isomorph_, 1, 1);
  relaxLayout->addWidget(coincidence, 2, 0);
  relaxLayout->addWidget(regHex, 2, 1);
  relaxLayout->addWidget(xyConfine, 3, 0, 1, 2);
  auto* rhomRow = new QHBoxLayout;
  auto* forceRhom = NamedEdit("ForceRhom", kNarrow);
  auto* forceRhom2 = NamedEdit("ForceRhom2", kNarrow);
  auto* forceRhom3 = NamedEdit("ForceRhom3", kNarrow);
  rhomRow->addWidget(Caption("Rhombus angle D:"));
  rhomRow->addWidget(forceRhom);
  rhomRow->addWidget(Caption("d:"));
  rhomRow->addWidget(forceRhom2);
  rhomRow->addWidget(Caption("q:"));
  rhomRow->addWidget(forceRhom3);
  rhomRow->addStretch(1);
  relaxLayout->addLayout(rhomRow, 4, 0, 1, 2);
  for (QLineEdit* e : {forceRhom, forceRhom2, forceRhom3})
    e->setToolTip("Degrees, or r12, r30, mr30, Pn/d");

  BindBox(weaken_, o.Weaken);
  BindText(weakenLimit_, o.WeakenLimit);
  BindBox(once_, o.Once);
  BindBox(isomorph_, o.Isomorph);
  BindBox(coincidence, o.Coincidence);
  BindBox(xyConfine, o.XYConfine);
  BindBox(regHex, o.RegHex);
  BindText(forceRhom, o.ForceRhom);
  BindText(forceRhom2, o.ForceRhom2);
  BindText(forceRhom3, o.ForceRhom3);
  return relaxBox;
}

QGroupBox* RunTime::buildOutput(RunOptions& o) {
  auto* outBox = new QGroupBox("Ou&tput");
  auto* outLayout = new QGridLayout(outBox);
  highlight_ = NamedBox("Highlight", "Highlight &faces n/d:");
  highlightVal_ = NamedEdit("HighlightVal", kNarrow);
  auto* hiRow = new QHBoxLayout;
  hiRow->addWidget(highlight_);
  hiRow->addWidget(highlightVal_);
  hiRow->addStretch(1);
  outLayout->addLayout(hiRow, 0, 0, 1, 2);
  // Plain boxes two to a row, in reading order.
  struct Plain {
    const char* name;
    const char* caption;
    int RunOptions::*value;
  };
  const Plain plain[7] = {{"HighVert", "Spheres on all vertices", &RunOptions::HighVert},
                          {"AllCyl", "Cylinders on all edges", &RunOptions::AllCyl},
                          {"Labelling", "&Vertex labels", &RunOptions::Labelling},
                          {"SideLab", "Face total labels", &RunOptions::SideLab},
                          {"incord", "Use input coordinates", &RunOptions::incord},
                          {"Userdata", "User data in files", &RunOptions::Userdata},
                          {"Debug", "Debug file", &RunOptions::Debug}};
  for (int i = 0; i < 7; ++i) {
    CheckBox* box = NamedBox(plain[i].name, plain[i].caption);
    outLayout->addWidget(box, 1 + i / 2, i % 2);
    BindBox(box, o.*plain[i].value);
  }
  stressMap_ = NamedBox("StressMap", "Stress map, cone:");
  auto* stressMult = NamedEdit("StressMult", kNarrow);
  auto* stBallMult = NamedEdit("StBallMult", kNarrow);
  auto* stressRow = new QHBoxLayout;
  stressRow->addWidget(stressMap_);
  stressRow->addWidget(stressMult);
  stressRow->addWidget(Caption("ball:"));
  stressRow->addWidget(stBallMult);
  stressRow->addStretch(1);
  outLayout->addLayout(stressRow, 5, 0, 1, 2);
  auto* smooth = NamedBox("Smooth", "Smooth edges below");
  auto* smoothAngle = NamedEdit("SmoothAngle", kNarrow);
  auto* smoothRow = new QHBoxLayout;
  smoothRow->addWidget(smooth);
  smoothRow->addWidget(smoothAngle);
  smoothRow->addWidget(Caption("degrees"));
  smoothRow->addStretch(1);
  outLayout->addLayout(smoothRow, 6, 0, 1, 2);

  BindBox(highlight_, o.Highlight);
  BindText(highlightVal_, o.HighlightVal);
  BindBox(stressMap_, o.StressMap);
  BindText(stressMult, o.StressMult);
  BindText(stBallMult, o.StBallMult);
  BindBox(smooth, o.Smooth);
  BindText(smoothAngle, o.SmoothAngle);
  // The stress cone and ball and the smoothing angle count only with their box ticked.
  followBox(stressMap_, {stressMult, stBallMult});
  followBox(smooth, {smoothAngle});
  return outBox;
}

void RunTime::followBox(CheckBox* box, std::initializer_list<QLineEdit*> fields) {
  auto apply = [box, fields = std::vector<QLineEdit*>(fields)] {
    for (QLineEdit* f : fields) f->setEnabled(box->value() == 1);
  };
  connect(box, &QCheckBox::stateChanged, this, apply);
  apply();
}

// Unattended: what the command line does without a person at the viewer, for runs from
// the windows only when ticked. Kept beside kelmor.ini, not in it.
void RunTime::buildUnattended() {
  unattendedBox_ = new QGroupBox("Unatte&nded");
  unattendedBox_->setObjectName("UnattendedFrame");
  auto* unattendedLayout = new QGridLayout(unattendedBox_);
  stallEscape_ = NamedBox("StallEscape", "R&e-do attempts that stall for");
  stallEscape_->setToolTip(
      "Presses Re-do when Edge plus Polygonal Deformation has not fallen by 1% for this many "
      "iterations, and starts the next attempt when one overflows, as the command line does");
  stallWindow_ = NamedEdit("StallWindow", kNarrow);
  searchAfter_ = NamedEdit("SearchAfter", kNarrow);
  search_ = NamedBox("Search", "Searc&h symmetric starts after");
  search_->setToolTip(
      "After this many attempts without a solution, starts attempts from symmetric placements "
      "built from the faces, as the command line does");
  unattendedLayout->addWidget(stallEscape_, 0, 0);
  unattendedLayout->addWidget(stallWindow_, 0, 1);
  unattendedLayout->addWidget(Caption("iterations"), 0, 2);
  unattendedLayout->addWidget(search_, 1, 0);
  unattendedLayout->addWidget(searchAfter_, 1, 1);
  unattendedLayout->addWidget(Caption("failed attempts"), 1, 2);
  unattendedLayout->setColumnStretch(3, 1);
}

void RunTime::arrange(std::initializer_list<QWidget*> leftGroups, std::initializer_list<QWidget*> rightGroups,
                      QHBoxLayout* buttons) {
  auto* left = new QVBoxLayout;
  for (QWidget* g : leftGroups) left->addWidget(g);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  for (QWidget* g : rightGroups) right->addWidget(g);
  right->addStretch(1);
  auto* body = new QWidget;
  body->setObjectName("RunTimeBody");
  auto* columns = new QHBoxLayout(body);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  // The options scroll on a short screen; the buttons below them stay in sight.
  auto* scroll = new QScrollArea;
  scroll->setObjectName("RunTimeScroll");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes to the options; the area follows it
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll->setWidget(body);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addLayout(buttons);
  body->adjustSize();
  body->layout()->activate();
  const QMargins m = layout->contentsMargins();
  resize(body->sizeHint().width() + m.left() + m.right() + scroll->verticalScrollBar()->sizeHint().width(),
         body->sizeHint().height() + buttons->sizeHint().height() + layout->spacing() + m.top() + m.bottom());
}

// The enabling rules; like the option buttons of old they also run when the program
// changes a value.
void RunTime::connectRules() {
  connect(augment_, &QCheckBox::stateChanged, this,
          [this] { augFrame_->setEnabled(augment_->value() == 1 || augment_->value() == 2); });
  connect(highlight_, &QCheckBox::stateChanged, this,
          [this] { highlightVal_->setEnabled(highlight_->value() == 1); });
  connect(weaken_, &QCheckBox::stateChanged, this,
          [this] { weakenLimit_->setEnabled(weaken_->value() == 1); });
  connect(sqrtHop_, &QCheckBox::stateChanged, this,
          [this] { sqrtMult_->setEnabled(sqrtHop_->value() == 1); });
  // The unattended policies act in repeat mode only: not with Once only, nor on
  // segmented input (which greys Once).
  for (CheckBox* box : {stallEscape_, search_, once_})
    connect(box, &QCheckBox::stateChanged, this, [this] { followUnattended(); });
  connect(inflateOption_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) inflateOptionClick(id);
  });
  connect(localOption_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) localOptionClick(id);
  });
}

void RunTime::followUnattended() {
  const bool repeat = once_->value() == 0;
  unattendedBox_->setEnabled(repeat);
  stallWindow_->setEnabled(repeat && stallEscape_->value() == 1);
  searchAfter_->setEnabled(repeat && search_->value() == 1);
}

void RunTime::loadUnattended() {
  std::string problem;
  unattendedRead_ = ReadUnattendedChoice(UnattendedChoicePath(gui_.session.settingsPath), &problem);
  stallEscape_->setValue(unattendedRead_.stallEscape ? 1 : 0);
  stallWindow_->setText(QString::number(unattendedRead_.stallWindow));
  search_->setValue(unattendedRead_.search ? 1 : 0);
  searchAfter_->setText(QString::number(unattendedRead_.searchAfter));
  followUnattended();
  if (!problem.empty())
    gui_.dialogs.message("The unattended choice could not be read whole (" + problem +
                         "); what it could not give stays unticked or at its default.");
}

std::optional<UnattendedChoice> RunTime::unattendedShown() {
  UnattendedChoice c = unattendedRead_;
  c.stallEscape = stallEscape_->value() == 1;
  c.search = search_->value() == 1;
  // A number counts when its box is ticked; an unticked box keeps the number it had.
  std::optional<long> window = WholeNumber(stallWindow_->text().toStdString());
  std::optional<long> after = WholeNumber(searchAfter_->text().toStdString());
  if (window && !CheckStallWindow(*window)) c.stallWindow = *window;
  else if (c.stallEscape) {
    gui_.dialogs.message(*CheckStallWindow(-1));
    return std::nullopt;
  }
  if (after && !CheckSearchAfter(*after)) c.searchAfter = static_cast<int>(*after);
  else if (c.search) {
    gui_.dialogs.message(*CheckSearchAfter(-1));
    return std::nullopt;
  }
  return c;
}

void RunTime::formLoad() {
  RunOptions& o = gui_.session.options;
  setCaption();
  SelectOption(localOption_, 1);
  localOptionClick(1);
  SelectOption(inflateOption_, 0);
  inflateOptionClick(0);
  sqrtHop_->setValue(0);
  sqrtMult_->setEnabled(false);
  highlightVal_->setEnabled(highlight_->value() == 1);
  weakenLimit_->setEnabled(weaken_->value() == 1);
  augFrame_->setEnabled(augment_->value() == 1 || augment_->value() == 2);
  setSegmentsCaption(o.Segments);
  segments_->setVisible(o.Segments != "None");
  if (segmentCount() > 1) {
    for (CheckBox* b : {highlight_, once_, weaken_, isomorph_, augment_}) {
      b->setValue(2);
      b->setEnabled(false);
    }
    stressMap_->setValue(2);
    highlightVal_->setEnabled(false);
    weakenLimit_->setEnabled(false);
    augFrame_->setEnabled(false);
  }
}

void RunTime::setCaption() {
  setWindowTitle("Kelmor RunTime Options: " + QString::fromStdString(runName_));
}

void RunTime::setRunName(const std::string& name) {
  runName_ = name;
  setCaption();
}

bool RunTime::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) setCaption();
  return QWidget::event(e);
}

void RunTime::inflateOptionClick(int index) {
  globLim_->setEnabled(index == 0);
  localFrame_->setEnabled(index == 3);
  if (index == 3) {
    int chosen = localOption_->checkedId();
    localOptionClick(chosen < 0 ? 1 : chosen);
  } else {
    for (QLineEdit* e : localFields_) e->setEnabled(false);
  }
}

void RunTime::localOptionClick(int index) {
  // Fields in the order Min1 Max1 Min2 Max2 Min3 Max3 SelectFace.
  static const bool on[4][7] = {
      {true, false, false, false, false, false, false},
      {true, true, false, false, false, false, false},
      {true, false, true, false, true, false, true},
      {true, true, true, true, true, true, true},
  };
  if (index < 0 || index > 3) return;
  for (int i = 0; i < 7; ++i) localFields_[i]->setEnabled(on[index][i]);
}

void RunTime::setSegmentsCaption(const std::string& caption) {
  gui_.session.options.Segments = caption;
  segments_->setText(QString::fromStdString(caption));
}

int RunTime::segmentCount() const {
  // The number from the ninth character of the caption; "None" reads 0.
  const std::string& c = gui_.session.options.Segments;
  return c.size() >= 9 ? RoundInt16(ReadNumber(std::string_view(c).substr(8))) : 0;
}

void RunTime::prepare(const ScanResult& scan) {
  bool segmented = scan.letters.find('S') != std::string::npos;
  if (!segmented) {
    setSegmentsCaption("None");
    segments_->hide();
    segments_->setEnabled(false);
    highlight_->setValue(0);
    highlight_->setEnabled(true);
    isomorph_->setValue(0);
    isomorph_->setEnabled(true);
    // A box greyed by an earlier segmented input is cleared, so it never looks greyed
    // while it can be clicked.
    for (CheckBox* b : {once_, weaken_}) {
      if (b->value() == 2) b->setValue(0);
      b->setEnabled(true);
    }
    if (scan.letters.find('A') == std::string::npos) {
      augment_->setValue(0);
      augment_->setEnabled(true);
      augFrame_->setEnabled(true);
    } else if (!augment_->isEnabled()) {
      if (augment_->value() == 2) augment_->setValue(0);
      augment_->setEnabled(true);
    }
  } else {
    setSegmentsCaption("Segments " + std::to_string(scan.count));
    segments_->show();
    segments_->setEnabled(true);
    for (CheckBox* b : {highlight_, once_, weaken_, isomorph_, augment_}) {
      b->setValue(2);
      b->setEnabled(false);
    }
    // Greying Augment runs its enabling rule, which opens the frame for value 2; a
    // segmented run never augments, so its options stay shut.
    augFrame_->setEnabled(false);
  }
  highlightVal_->setEnabled(highlight_->value() == 1);
  weakenLimit_->setEnabled(weaken_->value() == 1);
  loadUnattended();
}

void RunTime::disableForShape() {
  weakenLimit_->setEnabled(false);
  augFrame_->setEnabled(false);
  highlightVal_->setEnabled(false);
}

void RunTime::restorePrefButton() {
  pref_->setText("&Preferences");
  setEnabled(true);
}

void RunTime::prefClick() {
  pref_->setText("Clicked");
  gui_.userPref()->openRunOnly();
  setEnabled(false);
}

void RunTime::segmentsClick() {
  gui_.segmentOptions()->showRows(segmentCount());
  ShowEnabled(gui_.segmentOptions());
  HideDisabled(this);
}

void RunTime::runCancelClick() {
  hide();
  gui_.kelmor()->hide();
  ShowEnabled(gui_.intro());
}

void RunTime::runOkClick() {
  Session& s = gui_.session;
  if (auto error = ValidateRunOptions(s.options)) {
    gui_.dialogs.message(*error);
    return;
  }
  // A folder that cannot take the files, or names that clash, are found before the run.
  RunStartCheck check = CheckRunStart(s);
  if (!check.folderProblem.empty()) {
    gui_.dialogs.messageWithDetail("Error: " + check.folderProblem,
                                   "Choose another output folder under Output (or tick Same as Input "
                                   "Directory), then Run again.");
    // The output folder is chosen in the file selection, not here.
    hide();
    gui_.kelmor()->focusOutputFolder();
    return;
  }
  if (!check.nameProblem.empty()) {
    gui_.dialogs.message(check.nameProblem);
    return;
  }
  std::optional<UnattendedChoice> unattended = unattendedShown();
  if (!unattended) return;
  // Kept for the next runs only when changed, so that an untouched choice leaves no file.
  if (*unattended != unattendedRead_) {
    if (auto e = WriteUnattendedChoice(UnattendedChoicePath(s.settingsPath), *unattended))
      gui_.dialogs.message("The unattended choice could not be saved: " + *e);
    else
      unattendedRead_ = *unattended;
  }
  hide();
  gui_.kelmor()->hide();
  DrawWindow* draw = gui_.drawWindow();
  draw->setScale(2 * s.prefs.number("scrn"));
  draw->reset();
  ShowEnabled(draw);

  QtHost host(gui_.dialogs, *draw, s.input.OutSame ? s.input.InDir : s.input.OutDir);
  ResultView* result = gui_.resultView();
  result->clearSolutions();
  host.onSolutionWritten = [result, solidWritten = s.prefs.flag("vsol")](const WrittenReport& report) {
    // The solid as written: its OFF file, when the preferences write one, with the look of
    // the solid file written with it.
    for (size_t i = 0; i < report.files.size(); ++i) {
      const std::string& file = report.files[i];
      if (!file.ends_with(".off")) continue;
      result->addSolution(QString::fromStdString(file), {},
                          QString::fromStdString(render::SolidFileWrittenWith(report.files, i, solidWritten)));
      // The keyboard stays with the viewer, where Escape ends the run.
      ShowBeside(result);
      return;
    }
  };
  host.setExports(ReadExportSettings(ExportSettingsPath(s.settingsPath)));
  // Repeat mode only: one attempt (Once, segments) is what the other modes ask for.
  if (!Ticked(s.options.Once) && s.options.Segments == "None") host.setUnattended(*unattended);
  auto run = std::make_unique<Run>(s, host);
  activeRun_ = run.get();
  RunOutcome outcome = RunOutcome::Ended;
  try {
    outcome = RunSequence(*run);
  } catch (const KelmorError& e) {
    // The run sequence handles its own errors; anything escaping it is still only
    // reported, never allowed to take the program down.
    gui_.dialogs.message("Kelmor has come across an Error.  Code: " + std::to_string(e.code()));
  } catch (const std::exception& e) {
    gui_.dialogs.message(std::string("Kelmor has come across an Error.  ") + e.what());
  }
  activeRun_ = nullptr;
  gui_.intro()->setLastRun(QString::fromStdString(runName_));
  // Files that could not be written send the user back to the file selection, where
  // another output folder can be chosen.
  ShowEnabled(outcome == RunOutcome::WriteFailed ? static_cast<QWidget*>(gui_.kelmor()) : gui_.intro());
  HideDisabled(draw);
}

void RunTime::closeEvent(QCloseEvent* event) {
  event->ignore();
  runCancelClick();
}

}  // namespace kelmor
