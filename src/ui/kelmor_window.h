#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelmor {

class Gui;
class CheckBox;
class DriveList;
class FolderList;
class FileList;

// The file-selection window "Kelmor File Loader": input folder and file, output
// folder, and the way on to the run-time options, the preferences and the shapes.
class Kelmor : public QWidget {
  Q_OBJECT
 public:
  explicit Kelmor(Gui& gui);

  // From the settings: the input and output folders (diri, diro) and OutSame (otsm).
  void loadFolders();
  // Shown from the main window: file list and both folder lists read again.
  void refreshLists();

  void runClick();
  void cancelClick();
  void savePrefClick();
  void specialInputClick();
  // "From Conway notation...": runs the expression's solid, or says why it cannot.
  void conwayChosen(const QString& expression);
  // Shown with the keyboard on the output folder (or on Same as Input Directory when it
  // is ticked), after a run was refused because its folder cannot take the files.
  void focusOutputFolder();
  // A recent file chosen: its folder opened and the file selected.
  void recentChosen(const QString& file);

 protected:
  // Closing the window is its Cancel, so the program never ends up with no window.
  void closeEvent(QCloseEvent* event) override;

 private:
  QString lastConway_;
  void applyOutSame();
  void syncSelection();
  void fillRecent();
  // Nothing selected: the file of the last run, when it is in the folder shown.
  void selectLastRun();
  // Keeps the folders of a run in kelmor.ini for the next start.
  void keepFolders();

  Gui& gui_;
  DriveList* inDrive_;
  FolderList* inDir_;
  FileList* inFile_;
  QLineEdit* inPatt_;
  DriveList* outDrive_;
  FolderList* outDir_;
  CheckBox* outSame_;
  QComboBox* recent_;
};

}  // namespace kelmor
