#include "ui/user_pref.h"

#include <algorithm>

#include <QCloseEvent>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "export/export_settings.h"
#include "model/numtext.h"
#include "run/session.h"
#include "settings/settings_file.h"
#include "ui/bind.h"
#include "ui/check_box.h"
#include "ui/colour_pref.h"
#include "ui/dialogs.h"
#include "ui/gui.h"
#include "ui/intro.h"
#include "ui/keys.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"

namespace kelmor {

const char* const UserPref::SavingNotice =
    "The information above will be saved and used as default settings each time Kelmor is run.";
const char* const UserPref::RunOnlyNotice =
    "Changes made to this screen will apply to the next run only.  Select PREF from the main "
    "screen for changes to your default settings.";

namespace {

QLineEdit* Field(PrefBinding& b, const QString& name, const char* key, int width = 70) {
  QLineEdit* e = NamedEdit(name, width);
  b.text(e, key);
  return e;
}

}  // namespace

UserPref::UserPref(Gui& gui)
    : gui_(gui), binding_(std::make_unique<PrefBinding>(gui.session.prefs)) {
  setObjectName("UserPref");
  setWindowTitle("Kelmor User Preferences");
  // Built in the order they stand: with no tab order set, Tab follows it.
  QGroupBox* userBox = buildUser();
  QGroupBox* forceBox = buildForces();
  QGroupBox* filesBox = buildFiles();
  QGroupBox* displayBox = buildDisplay();
  QGroupBox* exportBox = buildExport();

  notice_ = new QLabel(SavingNotice);
  notice_->setObjectName("Notice");
  notice_->setWordWrap(true);
  QFont bold = notice_->font();
  bold.setBold(true);
  notice_->setFont(bold);

  auto* colours = NamedButton("cmdColour", "&Adjust Colour Preferences");
  auto* ok = NamedButton("cmdOK", "&OK");
  auto* cancel = NamedButton("cmdCancel", "&Cancel");
  QHBoxLayout* buttons = ButtonRow({colours}, {ok, cancel});

  auto* left = new QVBoxLayout;
  left->addWidget(userBox);
  left->addWidget(forceBox);
  left->addWidget(filesBox);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(displayBox);
  right->addWidget(exportBox);
  right->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(notice_);
  layout->addLayout(buttons);

  connect(colours, &QPushButton::clicked, this, &UserPref::cmdColourClick);
  connect(ok, &QPushButton::clicked, this, &UserPref::cmdOkClick);
  connect(cancel, &QPushButton::clicked, this, &UserPref::cmdCancelClick);
  WireKeys(this, ok, cancel, [this] { gui_.openHelp(); });
  refresh();
}

// The user, copied into output files.
QGroupBox* UserPref::buildUser() {
  auto* userBox = new QGroupBox("User");
  auto* user = new QFormLayout(userBox);
  user->addRow("Name:", Field(*binding_, "UserName", "unam", 240));
  user->addRow("E-mail:", Field(*binding_, "UserId", "usid", 240));
  return userBox;
}

QGroupBox* UserPref::buildForces() {
  auto* forceBox = new QGroupBox("Relative Force Strengths");
  auto* force = new QGridLayout(forceBox);
  const char* forceText[6] = {"Triangle-triangle edges", "Triangle-polygon, polygon-polygon edges",
                              "Edges used by the hop algorithm", "Polygon diameter forces",
                              "Dihedral bands of local inflation",
                              "Temporary bands (removed before final relaxation)"};
  for (int i = 0; i < 6; ++i) {
    QString n = QString::number(i + 1);
    force->addWidget(new QLabel(n + ".  " + forceText[i]), i, 0);
    force->addWidget(Field(*binding_, "Force" + n, ("f00" + n.toStdString()).c_str()), i, 1);
  }
  auto* reset = NamedButton("cmdReset", "&Reset");
  reset->setToolTip("Force strengths back to 100, 100, 10, 10, 20, 100");
  force->addWidget(reset, 6, 1);
  connect(reset, &QPushButton::clicked, this, &UserPref::cmdResetClick);
  return forceBox;
}

// Output files and their name suffixes.
QGroupBox* UserPref::buildFiles() {
  PrefBinding& b = *binding_;
  auto* filesBox = new QGroupBox("Output Files");
  auto* files = new QGridLayout(filesBox);
  files->addWidget(new QLabel("File name suffix"), 0, 1);
  struct OutFile {
    const char* box;
    const char* caption;
    const char* flag;
    const char* suffixName;
    const char* suffix;
  };
  const OutFile outs[5] = {
      {"VrmlSolid", "Solid VRML", "vsol", "SufSolid", "ssol"},
      {"VrmlFrame", "Framework VRML", "vfrm", "SufFrame", "sfrm"},
      {"VrmlSwitch", "Switchable VRML", "vswt", "SufSwitch", "sswt"},
      {"VrmlAnim", "Animated VRML", "vanm", "SufAnim", "sanm"},
      {"VrmlCyl", "Molecule VRML", "vcyl", "SufCyl", "scyl"},
  };
  for (int i = 0; i < 5; ++i) {
    CheckBox* box = NamedBox(outs[i].box, outs[i].caption);
    b.flag(box, outs[i].flag);
    QLineEdit* suffix = Field(b, outs[i].suffixName, outs[i].suffix, 110);
    files->addWidget(box, i + 1, 0);
    files->addWidget(suffix, i + 1, 1);
    // A file's name suffix counts only while the file is written.
    connect(box, &QCheckBox::toggled, suffix, &QWidget::setEnabled);
    suffix->setEnabled(box->isChecked());
  }
  CheckBox* off = NamedBox("OffFile", "OFF file");
  b.flag(off, "voff");
  files->addWidget(off, 6, 0);
  return filesBox;
}

QGroupBox* UserPref::buildDisplay() {
  PrefBinding& b = *binding_;
  auto* displayBox = new QGroupBox("Display");
  auto* display = new QFormLayout(displayBox);
  display->addRow("Framework edge width (%):", Field(b, "FrameVal", "fram"));
  display->addRow("Viewer limit (shows -n..n):", Field(b, "Screen", "scrn"));
  display->addRow("Transparency level (0 to 1):", Field(b, "TranLevel", "tran"));
  vertexSize_ = Field(b, "VertexSize", "vxsz");
  display->addRow("Vertex sphere size (%):", vertexSize_);
  display->addRow("Edge cylinder diameter (%):", Field(b, "CylSize", "cyls"));
  display->addRow("Viewpoint scale:", Field(b, "ViewScale", "vscl"));
  connect(vertexSize_, &QLineEdit::editingFinished, this, &UserPref::checkVertexSize);
  auto* labelRow = new QHBoxLayout;
  labelOption_ = new QButtonGroup(this);
  labelOption_->setObjectName("LabelOption");
  QRadioButton* standard = NamedOption("LabelOption0", "Standard");
  QRadioButton* billboard = NamedOption("LabelOption1", "Billboard");
  standard->setToolTip("Labels rotate with the object");
  billboard->setToolTip("Labels stay turned to the viewer");
  labelOption_->addButton(standard, 0);
  labelOption_->addButton(billboard, 1);
  labelRow->addWidget(standard);
  labelRow->addWidget(billboard);
  display->addRow("Vertex labels:", labelRow);
  connect(labelOption_, &QButtonGroup::idToggled, this, [&prefs = gui_.session.prefs](int id, bool on) {
    if (on) prefs.set("vlab", id == 1 ? "1" : "0");
  });
  CheckBox* edges = NamedBox("ShowEdges", "Display edges");
  CheckBox* realm = NamedBox("RealmTrans", "Inter-realm transparency");
  CheckBox* beep = NamedBox("Beep", "Beep");
  b.flag(edges, "edge");
  b.flag(realm, "rtrn");
  b.flag(beep, "beep");
  display->addRow(edges);
  display->addRow(realm);
  display->addRow(beep);
  return displayBox;
}

// Further formats of every solution a run from the windows writes; kept apart from
// kelmor.ini so that file stays exactly as it is.
QGroupBox* UserPref::buildExport() {
  auto* exportBox = new QGroupBox("Export");
  auto* exportGrid = new QGridLayout(exportBox);
  const char* exportNames[5][2] = {{"ExportGlb", "glTF binary (.glb)"}, {"ExportGltf", "glTF text (.gltf)"},
                                   {"ExportStl", "STL (printing)"}, {"Export3mf", "3MF (printing)"},
                                   {"ExportObj", "OBJ and MTL"}};
  for (int i = 0; i < 5; ++i) {
    CheckBox* box = NamedBox(exportNames[i][0], exportNames[i][1]);
    box->setTristate(false);
    exportBoxes_.push_back(box);
    exportGrid->addWidget(box, i / 2, i % 2);
  }
  exportScale_ = NamedEdit("ExportScale", 70);
  exportScale_->setToolTip("Edge length in millimetres; empty: 20 mm for STL and 3MF, the unit edge otherwise");
  exportGrid->addWidget(new QLabel("Edge length (mm):"), 3, 0);
  exportGrid->addWidget(exportScale_, 3, 1);
  return exportBox;
}

UserPref::~UserPref() = default;

void UserPref::refresh() {
  binding_->refresh();
  SelectOption(labelOption_, gui_.session.prefs.text("vlab") == "1" ? 1 : 0);
  vertexSizeSeen_ = vertexSize_->text();
  showExports();
}

// The boxes in the order of the formats.
static constexpr ExportFormat ExportBoxFormats[5] = {ExportFormat::Glb, ExportFormat::Gltf, ExportFormat::Stl,
                                                     ExportFormat::ThreeMf, ExportFormat::Obj};

void UserPref::showExports() {
  ExportRequest r = ReadExportSettings(ExportSettingsPath(gui_.session.settingsPath));
  for (size_t i = 0; i < exportBoxes_.size(); ++i)
    exportBoxes_[i]->setChecked(std::find(r.formats.begin(), r.formats.end(), ExportBoxFormats[i]) != r.formats.end());
  exportScale_->setText(r.scale ? QString::number(*r.scale) : QString());
}

bool UserPref::saveExports() {
  ExportRequest r;
  for (size_t i = 0; i < exportBoxes_.size(); ++i)
    if (exportBoxes_[i]->isChecked()) r.formats.push_back(ExportBoxFormats[i]);
  QString scale = exportScale_->text().trimmed();
  if (!scale.isEmpty()) {
    bool ok = false;
    double mm = scale.toDouble(&ok);
    if (!ok || !(mm > 0 && mm < 1e6)) {
      gui_.dialogs.message("The export edge length is in millimetres: a number above 0, or empty for 20 mm.");
      return false;
    }
    r.scale = mm;
  }
  if (auto e = WriteExportSettings(ExportSettingsPath(gui_.session.settingsPath), r)) {
    gui_.dialogs.message("The export choice could not be saved: " + *e);
    return false;
  }
  return true;
}

void UserPref::checkVertexSize() {
  if (vertexSize_->text() == vertexSizeSeen_) return;
  vertexSizeSeen_ = vertexSize_->text();
  if (ReadNumber(vertexSizeSeen_.toStdString()) > 20) {
    gui_.dialogs.message(
        "Warning: Setting the vertex spheres to be > 20% is not recommended as it only serves "
        "to highlight the shortcomings of VRML's sphere node.");
  }
}

void UserPref::openSaving() {
  gui_.session.prefsRunOnly = false;
  notice_->setText(SavingNotice);
  refresh();
  ShowEnabled(this);
}

void UserPref::openRunOnly() {
  gui_.session.prefsRunOnly = true;
  notice_->setText(RunOnlyNotice);
  refresh();
  ShowEnabled(this);
}

void UserPref::leaveRunOnly() {
  gui_.session.prefsRunOnly = false;
  notice_->setText(SavingNotice);
  HideDisabled(this);
  gui_.runTime()->restorePrefButton();
}

void UserPref::cmdOkClick() {
  Session& s = gui_.session;
  checkVertexSize();
  if (!saveExports()) return;
  // The folders saved are those the file-selection window shows.
  s.prefs.set("diri", s.input.InDir);
  s.prefs.set("diro", s.input.OutDir);
  s.prefs.setFlag("otsm", s.input.OutSame);
  SaveResult r = SaveSettings(s.prefs, s.settingsPath, s.prefsRunOnly,
                              [this](const std::string& text) { gui_.dialogs.message(text); });
  refresh();  // the suffixes may have been tidied
  switch (r) {
    case SaveResult::Refused:
    case SaveResult::Failed: return;  // the message is shown; the window stays open
    case SaveResult::RunOnly: leaveRunOnly(); return;
    case SaveResult::Saved:
      HideDisabled(this);
      ShowEnabled(gui_.intro());
      return;
  }
}

void UserPref::cmdCancelClick() {
  if (gui_.session.prefsRunOnly) {
    leaveRunOnly();
    return;
  }
  gui_.dialogs.message("Default settings have not been updated");
  ShowEnabled(gui_.intro());
  HideDisabled(this);
}

void UserPref::cmdResetClick() {
  gui_.session.prefs.resetForces();
  refresh();
}

void UserPref::cmdColourClick() {
  gui_.colourPref()->open();
  setEnabled(false);
}

void UserPref::closeEvent(QCloseEvent* event) {
  event->ignore();
  cmdCancelClick();
}

}  // namespace kelmor
