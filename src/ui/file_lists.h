#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace kelmor {

// The drive list of the file-selection window. Linux has no drive letters: the list
// holds the mounted volumes, and a folder's drive is the volume it lies on.
class DriveList : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent = nullptr);
  // Shows the volume that holds path, without telling anyone.
  void showDriveOf(const QString& path);
  QString drive() const { return currentData().toString(); }

 signals:
  void driveChosen(const QString& root);  // the user picked a volume
};

// A folder list: the chain of folders from the volume root down to the current folder,
// then its subfolders, each indented by its depth (drawn, not spaces, so that typing a
// name jumps to it). Activating an entry (double-click, Enter) opens it.
class FolderList : public QListWidget {
  Q_OBJECT
 public:
  explicit FolderList(QWidget* parent = nullptr);
  QString path() const { return path_; }
  // Opens path; a folder that does not exist opens its nearest existing parent.
  void setPath(const QString& path);
  void refresh() { setPath(path_); }

 signals:
  void pathChanged(const QString& path);

 private:
  QString path_;
};

// The file list: the input files of a folder that match the pattern ("*.txt"; several
// patterns separated by ";"), and OFF and OBJ files. Files the program writes (debug
// files, VRML files and its own OFF files) are never offered as input. Reading the same folder again keeps the selected
// file; another folder or pattern starts with none selected.
class FileList : public QListWidget {
  Q_OBJECT
 public:
  explicit FileList(QWidget* parent = nullptr);
  void setFolder(const QString& folder);
  void setPattern(const QString& pattern);
  void refresh();
  QString folder() const { return folder_; }
  QString selectedFile() const;  // empty when none is selected
  bool selectFile(const QString& name);
  // Whether a file of this name is one the program writes.
  static bool isWrittenFile(const QString& name);
  // The same, told apart by content where the name cannot: an OFF file in the folder is
  // the program's own output only when its header says so.
  static bool isWrittenFile(const QString& folder, const QString& name);
  // Solids from other programs, listed whatever the pattern.
  inline static const QStringList ForeignPatterns{"*.off", "*.obj"};

 signals:
  void fileEntered();  // Enter on a file: run it

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fill(const QString& keep);

  QString folder_;
  QStringList patterns_{"*.txt"};
};

}  // namespace kelmor
