#include "ui/colour_pref.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "run/session.h"
#include "ui/bind.h"
#include "ui/check_box.h"
#include "ui/colour_button.h"
#include "ui/colour_pick.h"
#include "ui/gui.h"
#include "ui/keys.h"
#include "ui/user_pref.h"

namespace kelmor {

namespace {

constexpr ColourPref::Entry Entries[] = {
    {"Col3", "Colour3", "clp3", "Triangles"},
    {"Col4", "Colour4", "clp4", "Squares"},
    {"Col5", "Colour5", "clp5", "Pentagons"},
    {"Col52", "Colour52", "cl52", "Pentagrams {5/2}"},
    {"Col6", "Colour6", "clp6", "Hexagons"},
    {"Col7", "Colour7", "clp7", "Other polygons"},
    {"Col8", "Colour8", "clp8", "Octagons"},
    {"Col83", "Colour83", "cl83", "Octagrams {8/3}"},
    {"Col10", "Colour10", "clpx", "Decagons"},
    {"Col103", "Colour103", "clx3", "Decagrams {10/3}"},
    {"ColH", "ColourH", "clph", "Highlight"},
    {"ColB", "VRMLBack", "colb", "VRML background"},
    {"ColE", "VRMLEdge", "cole", "Matched edges"},
    {"ColNE", "NakedEdge", "nedg", "Unmatched edges"},
    {"ColHE", "HiEdge", "hedg", "Highlight edges"},
    {"ColV", "VertexCol", "vxcl", "Highlight vertices"},
    {"ColC", "CylCol", "cylc", "Edge cylinders, set 1"},
    {"ColC2", "CylCol2", "cy2c", "Edge cylinders, set 2"},
    {"ColEE", "ExtCol", "extc", "Extended edge cones"},
    {"ColCC", "CompCol", "comc", "Compressed edge cones"},
    {"ColDB", "DistBall", "disb", "Side distortion spheres"},
    {"ColR1", "RhomCol1", "rcl1", "Rhombi, set 1 (D)"},
    {"ColR2", "RhomCol2", "rcl2", "Rhombi, set 2 (d)"},
    {"ColR3", "RhomCol3", "rcl3", "Rhombi, set 3 (q)"},
    {"ColDH1", "DHCol1", "hxc1", "Distorted hexagons (D)"},
    {"ColDH2", "DHCol2", "hxc2", "Distorted hexagons (d)"},
    {"ColS1", "ColourS1", "cls1", "Segment 1"},
    {"ColS2", "ColourS2", "cls2", "Segment 2"},
    {"ColS3", "ColourS3", "cls3", "Segment 3"},
    {"ColS4", "ColourS4", "cls4", "Segment 4"},
    {"ColS5", "ColourS5", "cls5", "Segment 5"},
    {"ColRL", "RealmLine", "rlin", "Inter-realm lines"},
    {"ColRF", "RealmFace", "rfac", "Inter-realm faces"},
    {"ColLV", "LabVCol", "lbcv", "Vertex labels"},
    {"ColLF", "LabFCol", "lbcf", "Face total labels"},
};
constexpr size_t EntryCount = sizeof(Entries) / sizeof(Entries[0]);

}  // namespace

const ColourPref::Entry* ColourPref::entries(size_t& count) {
  count = EntryCount;
  return Entries;
}

ColourPref::ColourPref(Gui& gui)
    : gui_(gui), binding_(std::make_unique<PrefBinding>(gui.session.prefs)) {
  setObjectName("ColourPref");
  setWindowTitle("Kelmor Colour Preferences");

  // Faces in the first column; edges, decorations, rhombi, segments and labels after.
  auto* faces = new QGroupBox("Faces");
  auto* faceGrid = new QGridLayout(faces);
  auto* others = new QGroupBox("Scene, Edges and Decorations");
  auto* otherGrid = new QGridLayout(others);
  auto* special = new QGroupBox("Rhombi, Hexagons, Segments and Labels");
  auto* specialGrid = new QGridLayout(special);
  int rows[3] = {0, 0, 0};
  for (size_t i = 0; i < EntryCount; ++i) {
    const Entry& e = Entries[i];
    int column = i < 11 ? 0 : i < 21 ? 1 : 2;
    QGridLayout* grid = column == 0 ? faceGrid : column == 1 ? otherGrid : specialGrid;
    QLineEdit* box = NamedEdit(e.box, 100);
    auto* button = new ColourButton(e.button);
    button->setFixedSize(34, 24);
    binding_->text(box, e.key);
    int r = rows[column]++;
    grid->addWidget(new QLabel(QString(e.caption) + ":"), r, 0);
    grid->addWidget(box, r, 1);
    grid->addWidget(button, r, 2);
    connect(box, &QLineEdit::textChanged, button,
            [button](const QString& t) { button->setColour(ColourOfText(t.toStdString())); });
    connect(button, &QPushButton::clicked, this, [this, name = std::string(e.button)] {
      gui_.colourPick()->chooseFor(name);
      setEnabled(false);
    });
  }
  CheckBox* rhomOverride = NamedBox("RhomColO", "Rhombi with equal diagonals share a colour");
  binding_->flag(rhomOverride, "rclo");
  specialGrid->addWidget(rhomOverride, rows[2], 0, 1, 3);
  for (QGridLayout* g : {faceGrid, otherGrid, specialGrid}) g->setRowStretch(g->rowCount(), 1);

  auto* ok = NamedButton("cmdOK", "&OK");
  auto* columns = new QHBoxLayout;
  columns->addWidget(faces);
  columns->addWidget(others);
  columns->addWidget(special);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(ButtonRow({}, {ok}));
  connect(ok, &QPushButton::clicked, this, &ColourPref::cmdOkClick);
  // The window has OK only: Escape leaves it the same way.
  WireKeys(this, ok, ok, [this] { gui_.openHelp(); });
  paintAll();
}

ColourPref::~ColourPref() = default;

void ColourPref::paintAll() {
  for (const Entry& e : Entries) {
    auto* box = findChild<QLineEdit*>(e.box);
    findChild<ColourButton*>(e.button)->setColour(ColourOfText(box->text().toStdString()));
  }
}

void ColourPref::refresh() {
  binding_->refresh();
  paintAll();
}

void ColourPref::open() {
  refresh();
  ShowEnabled(this);
}

void ColourPref::receiveColour(const std::string& target, long value) {
  setEnabled(true);
  for (const Entry& e : Entries) {
    if (target != e.button) continue;
    // The text box paints the button through its change signal.
    findChild<QLineEdit*>(e.box)->setText(QString::fromStdString(ColourText(value)));
  }
}

void ColourPref::cmdOkClick() {
  HideDisabled(this);
  ShowEnabled(gui_.userPref());
}

void ColourPref::closeEvent(QCloseEvent* event) {
  event->ignore();
  cmdOkClick();
}

}  // namespace kelmor
