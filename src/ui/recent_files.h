#pragma once

#include <QString>
#include <QStringList>

namespace kelmor {

// The input files run most recently, newest first, kept in a file of their own (one
// absolute path a line, UTF-8) so that kelmor.ini stays as it is. A list that cannot
// be read starts empty; one that cannot be written is kept for this session only.
class RecentFiles {
 public:
  static constexpr int Limit = 8;

  // $XDG_CONFIG_HOME/kelmor/recent-files (~/.config/kelmor/recent-files).
  static QString defaultPath();

  void setPath(const QString& path);  // reads the list kept there
  QString path() const { return path_; }
  // The files of the list that still exist.
  QStringList files() const;
  // Puts file first (once), drops the oldest past the limit, and writes the list.
  void add(const QString& file);

 private:
  void save() const;

  QString path_;
  QStringList files_;
};

}  // namespace kelmor
