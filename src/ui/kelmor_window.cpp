#include "ui/kelmor_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/parser.h"
#include "input/solid_text.h"
#include "model/error.h"
#include "run/session.h"
#include "run/run_values.h"
#include "settings/settings_file.h"
#include "ui/bind.h"
#include "ui/check_box.h"
#include "ui/dialogs.h"
#include "ui/file_lists.h"
#include "ui/gui.h"
#include "ui/intro.h"
#include "ui/keys.h"
#include "ui/run_time.h"
#include "ui/special_in.h"
#include "ui/user_pref.h"

namespace kelmor {

Kelmor::Kelmor(Gui& gui) : gui_(gui) {
  setObjectName("Kelmor");
  setWindowTitle("Kelmor File Loader");

  inDrive_ = new DriveList;
  inDrive_->setObjectName("InDrive");
  inDir_ = new FolderList;
  inDir_->setObjectName("InDir");
  inFile_ = new FileList;
  inFile_->setObjectName("InFile");
  inPatt_ = NamedEdit("InPatt");
  inPatt_->setText("*.txt");
  outDrive_ = new DriveList;
  outDrive_->setObjectName("OutDrive");
  outDir_ = new FolderList;
  outDir_->setObjectName("OutDir");
  outSame_ = NamedBox("OutSame", "Same as Input Directory");

  auto* run = NamedButton("Run", "&Run");
  auto* cancel = NamedButton("Cancel", "&Cancel");
  auto* savePref = NamedButton("SavePref", "&Save Preferences");
  auto* special = NamedButton("SpecialInput", "&Simple");
  auto* conway = NamedButton("ConwayInput", "From Con&way notation...");

  recent_ = new QComboBox;
  recent_->setObjectName("RecentFiles");
  recent_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  recent_->setMinimumContentsLength(30);

  // Every list has a label with an Alt key that moves the focus to it.
  auto label = [](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
  };
  auto* inBox = new QGroupBox("Input");
  auto* in = new QGridLayout(inBox);
  in->addWidget(label("&Drive:", inDrive_), 0, 0);
  in->addWidget(inDrive_, 0, 1);
  in->addWidget(label("F&older:", inDir_), 1, 0, Qt::AlignTop);
  in->addWidget(inDir_, 1, 1);
  in->addWidget(label("&Pattern:", inPatt_), 2, 0);
  in->addWidget(inPatt_, 2, 1);
  in->addWidget(label("&File:", inFile_), 3, 0, Qt::AlignTop);
  in->addWidget(inFile_, 3, 1);

  auto* outBox = new QGroupBox("Output");
  auto* out = new QGridLayout(outBox);
  out->addWidget(outSame_, 0, 0, 1, 2);
  out->addWidget(label("Dri&ve:", outDrive_), 1, 0);
  out->addWidget(outDrive_, 1, 1);
  out->addWidget(label("Fold&er:", outDir_), 2, 0, Qt::AlignTop);
  out->addWidget(outDir_, 2, 1);
  out->setRowStretch(2, 1);

  auto* recentRow = new QHBoxLayout;
  recentRow->addWidget(label("Rece&nt files:", recent_));
  recentRow->addWidget(recent_, 1);

  QHBoxLayout* buttons = ButtonRow({special, conway, savePref}, {run, cancel});

  auto* lists = new QHBoxLayout;
  lists->addWidget(inBox, 1);
  lists->addWidget(outBox, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(recentRow);
  layout->addLayout(lists);
  layout->addLayout(buttons);
  resize(720, 520);
  WireKeys(this, run, cancel, [this] { gui_.openHelp(); });

  Session& s = gui_.session;
  connect(inDrive_, &DriveList::driveChosen, inDir_, &FolderList::setPath);
  connect(inDir_, &FolderList::pathChanged, this, [this, &s](const QString& p) {
    inDrive_->showDriveOf(p);
    inFile_->setFolder(p);
    s.input.InDir = p.toStdString();
    syncSelection();
  });
  connect(inPatt_, &QLineEdit::textChanged, inFile_, [this](const QString& p) {
    inFile_->setPattern(p);
    syncSelection();
  });
  connect(inFile_, &QListWidget::itemSelectionChanged, this, &Kelmor::syncSelection);
  connect(inFile_, &QListWidget::itemDoubleClicked, this, [this] { runClick(); });
  connect(inFile_, &FileList::fileEntered, this, [this] { runClick(); });
  connect(recent_, &QComboBox::activated, this, [this](int i) {
    QString file = recent_->itemData(i).toString();
    if (!file.isEmpty()) recentChosen(file);
  });
  connect(outDrive_, &DriveList::driveChosen, outDir_, &FolderList::setPath);
  connect(outDir_, &FolderList::pathChanged, this, [this, &s](const QString& p) {
    outDrive_->showDriveOf(p);
    s.input.OutDir = p.toStdString();
  });
  connect(outSame_, &QCheckBox::stateChanged, this, [this, &s] {
    s.input.OutSame = outSame_->value() == 1;
    applyOutSame();
  });
  connect(run, &QPushButton::clicked, this, &Kelmor::runClick);
  connect(cancel, &QPushButton::clicked, this, &Kelmor::cancelClick);
  connect(savePref, &QPushButton::clicked, this, &Kelmor::savePrefClick);
  connect(special, &QPushButton::clicked, this, &Kelmor::specialInputClick);
  connect(conway, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QString text = QInputDialog::getText(this, "From Conway notation",
                                               "Conway notation (operators right to left on a seed, e.g. tI, cD, t5kD):",
                                               QLineEdit::Normal, lastConway_, &ok);
    if (ok) conwayChosen(text.trimmed());
  });

  loadFolders();
}

void Kelmor::loadFolders() {
  Session& s = gui_.session;
  inDir_->setPath(QString::fromStdString(s.prefs.text("diri")));
  outDir_->setPath(QString::fromStdString(s.prefs.text("diro")));
  // The lists may already show these folders; the Session follows them either way.
  s.input.InDir = inDir_->path().toStdString();
  s.input.OutDir = outDir_->path().toStdString();
  inDrive_->showDriveOf(inDir_->path());
  outDrive_->showDriveOf(outDir_->path());
  inFile_->setFolder(inDir_->path());
  outSame_->setValue(s.prefs.flag("otsm") ? 1 : 0);
  s.input.OutSame = outSame_->value() == 1;
  applyOutSame();
  selectLastRun();
  fillRecent();
}

void Kelmor::selectLastRun() {
  if (inFile_->selectedFile().isEmpty()) {
    const QStringList files = gui_.recent.files();
    if (!files.isEmpty()) {
      const QFileInfo last(files.first());
      if (QDir(last.absolutePath()) == QDir(inDir_->path())) inFile_->selectFile(last.fileName());
    }
  }
  syncSelection();
}

void Kelmor::focusOutputFolder() {
  ShowEnabled(this);
  if (outSame_->value() == 1) outSame_->setFocus(Qt::OtherFocusReason);
  else outDir_->setFocus(Qt::OtherFocusReason);
}

void Kelmor::refreshLists() {
  inFile_->refresh();
  inDir_->refresh();
  outDir_->refresh();
  applyOutSame();
  selectLastRun();
  fillRecent();
  // Straight to the files: type a name, Enter runs it.
  inFile_->setFocus();
}

void Kelmor::fillRecent() {
  recent_->clear();
  const QStringList files = gui_.recent.files();
  recent_->addItem(files.isEmpty() ? "(none yet)" : "", QString());
  for (const QString& f : files)
    recent_->addItem(QFileInfo(f).fileName() + "  (" + QFileInfo(f).absolutePath() + ")", f);
  recent_->setEnabled(!files.isEmpty());
}

void Kelmor::recentChosen(const QString& file) {
  QFileInfo info(file);
  inDir_->setPath(info.absolutePath());
  if (!inFile_->selectFile(info.fileName())) {
    // Filtered out by the pattern: every file of the folder is offered instead.
    inPatt_->setText("*");
    inFile_->selectFile(info.fileName());
  }
  // The focus stays on the list of recent files, where Enter runs the file chosen.
  syncSelection();
}

void Kelmor::keepFolders() {
  Session& s = gui_.session;
  // The stored preference set, not the one in use: changes made for the next run only
  // must not be saved with the folders.
  Preferences stored(s.programFolder);
  auto quiet = [](const std::string&) {};
  LoadSettings(stored, s.settingsPath, s.programFolder, quiet);
  if (stored.text("diri") == s.input.InDir && stored.text("diro") == s.input.OutDir &&
      stored.flag("otsm") == s.input.OutSame)
    return;
  stored.set("diri", s.input.InDir);
  stored.set("diro", s.input.OutDir);
  stored.setFlag("otsm", s.input.OutSame);
  SaveSettings(stored, s.settingsPath, false, quiet);
  s.prefs.set("diri", s.input.InDir);
  s.prefs.set("diro", s.input.OutDir);
  s.prefs.setFlag("otsm", s.input.OutSame);
}

void Kelmor::applyOutSame() {
  bool own = outSame_->value() != 1;
  outDrive_->setEnabled(own);
  outDir_->setEnabled(own);
}

void Kelmor::syncSelection() { gui_.session.input.InFile = inFile_->selectedFile().toStdString(); }

void Kelmor::runClick() {
  Session& s = gui_.session;
  syncSelection();
  if (s.input.InFile.empty()) {
    gui_.dialogs.message("You must choose a file to run");
    return;
  }
  s.special.clear();
  std::string path = (std::filesystem::path(s.input.InDir) / s.input.InFile).string();
  ScanResult scan;
  try {
    // An OFF or OBJ file has no blocks and no letters, whatever braces its comments hold.
    const std::string text = ReadWholeFile(path);
    if (InputKindOf(path, text) == InputKind::Kelmor) scan = ScanInputText(text);
  } catch (const KelmorError& e) {
    // The file vanished or cannot be read between listing and running.
    gui_.dialogs.message("Kelmor has come across an Error.  Code: " + std::to_string(e.code()) +
                         "File: " + path);
    return;
  }
  gui_.recent.add(QString::fromStdString(path));
  keepFolders();
  RunTime* rt = gui_.runTime();
  rt->prepare(scan);
  rt->setRunName(s.input.InFile);
  ShowEnabled(rt);
  HideDisabled(this);
}

void Kelmor::conwayChosen(const QString& expression) {
  if (expression.isEmpty()) return;
  lastConway_ = expression;
  const std::string e = expression.toStdString();
  std::string error;
  bool tooLarge = false;
  if (ConwayKelmorText(e, error, tooLarge).empty()) {
    gui_.dialogs.message(tooLarge ? std::string(LimitMessage) : "Conway notation " + e + ": " + error);
    return;
  }
  // The expression stands for the input file: the run reads it and names its files after it.
  Session& s = gui_.session;
  s.special.clear();
  s.input.InFile = ConwayInputPrefix + e;
  keepFolders();
  RunTime* rt = gui_.runTime();
  rt->prepare(ScanResult{});
  rt->setRunName(e);
  ShowEnabled(rt);
  HideDisabled(this);
}

void Kelmor::cancelClick() {
  ShowEnabled(gui_.intro());
  HideDisabled(this);
}

void Kelmor::savePrefClick() {
  gui_.dialogs.message("Click 'OK' on the following User Preferences screen");
  HideDisabled(this);
  gui_.userPref()->openSaving();
}

void Kelmor::specialInputClick() {
  gui_.specialIn()->open();
  setEnabled(false);
}

void Kelmor::closeEvent(QCloseEvent* event) {
  event->ignore();
  cancelClick();
}

}  // namespace kelmor
