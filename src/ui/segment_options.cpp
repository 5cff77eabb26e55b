#include "ui/segment_options.h"

#include <QCloseEvent>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "run/session.h"
#include "run/validation.h"
#include "ui/bind.h"
#include "ui/check_box.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/keys.h"
#include "ui/run_time.h"

namespace kelmor {

SegmentOptions::SegmentOptions(Gui& gui) : gui_(gui), rows_(6) {
  setObjectName("SegmentOptions");
  setWindowTitle("Kelmor Segment Options");
  RunOptions& o = gui_.session.options;

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  const char* headers[] = {"Segment", "Edge length", "X offset", "Y offset", "Z offset",
                           "Transparent", "Flip X", "Flip Y", "Flip Z"};
  for (int c = 0; c < 9; ++c) {
    auto* h = new QLabel(headers[c]);
    QFont f = h->font();
    f.setBold(true);
    h->setFont(f);
    grid->addWidget(h, 0, c, Qt::AlignHCenter);
  }
  for (int i = 1; i <= 5; ++i) {
    QString n = QString::number(i);
    auto* label = new QLabel(n);
    label->setObjectName("SegLabel" + n);
    QLineEdit* edge = NamedEdit("SegEdge" + n, 70);
    QLineEdit* x = NamedEdit("SegX" + n, 70);
    QLineEdit* y = NamedEdit("SegY" + n, 70);
    QLineEdit* z = NamedEdit("SegZ" + n, 70);
    CheckBox* trans = NamedBox("SegTrans" + n, "");
    CheckBox* fx = NamedBox("FlipX" + n, "");
    CheckBox* fy = NamedBox("FlipY" + n, "");
    CheckBox* fz = NamedBox("FlipZ" + n, "");
    BindText(edge, o.SegEdge[i]);
    BindText(x, o.SegX[i]);
    BindText(y, o.SegY[i]);
    BindText(z, o.SegZ[i]);
    BindBox(trans, o.SegTrans[i]);
    BindBox(fx, o.FlipX[i]);
    BindBox(fy, o.FlipY[i]);
    BindBox(fz, o.FlipZ[i]);
    for (CheckBox* box : {trans, fx, fy, fz}) box->setMinimumSize(20, 20);
    rows_[i] = {label, edge, x, y, z, trans, fx, fy, fz};
    for (int c = 0; c < 9; ++c)
      grid->addWidget(rows_[i][c], i, c, c == 0 || c >= 5 ? Qt::AlignHCenter : Qt::Alignment());
  }

  auto* colourBox = new QGroupBox("Face colours");
  auto* colourRow = new QHBoxLayout(colourBox);
  auto* colour = new QButtonGroup(this);
  colour->setObjectName("SegColour");
  QRadioButton* bySegment = NamedOption("SegColour0", "Colour by segment");
  QRadioButton* byType = NamedOption("SegColour1", "Colour by face type");
  colour->addButton(bySegment, 0);
  colour->addButton(byType, 1);
  colourRow->addWidget(bySegment);
  colourRow->addWidget(byType);
  colourRow->addStretch(1);
  BindGroup(colour, o.SegColour);

  auto* run = NamedButton("SegRun", "&Run");
  auto* cancel = NamedButton("SegCancel", "&Cancel");
  QHBoxLayout* buttons = ButtonRow({}, {run, cancel});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(colourBox);
  layout->addLayout(buttons);

  connect(run, &QPushButton::clicked, this, &SegmentOptions::runClick);
  connect(cancel, &QPushButton::clicked, this, &SegmentOptions::cancelClick);
  WireKeys(this, run, cancel, [this] { gui_.openHelp(); });
}

void SegmentOptions::showRows(int count) {
  for (int i = 1; i <= 5; ++i)
    for (QWidget* w : rows_[i]) w->setVisible(i <= count);
  adjustSize();
}

void SegmentOptions::runClick() {
  if (auto error = ValidateSegmentOptions(gui_.session.options)) {
    gui_.dialogs.message(*error);
    return;
  }
  HideDisabled(this);
  ShowEnabled(gui_.runTime());
}

void SegmentOptions::cancelClick() {
  HideDisabled(this);
  ShowEnabled(gui_.runTime());
}

void SegmentOptions::closeEvent(QCloseEvent* event) {
  event->ignore();
  cancelClick();
}

}  // namespace kelmor
