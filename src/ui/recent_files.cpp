#include "ui/recent_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace kelmor {

QString RecentFiles::defaultPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/kelmor/recent-files";
}

void RecentFiles::setPath(const QString& path) {
  path_ = path;
  files_.clear();
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return;
  // A damaged or foreign file gives at most a few useless lines, never more than Limit.
  for (const QByteArray& line : f.readAll().split('\n')) {
    QString file = QString::fromUtf8(line).trimmed();
    if (QFileInfo(file).isAbsolute() && !files_.contains(file)) files_ << file;
    if (files_.size() == Limit) break;
  }
}

QStringList RecentFiles::files() const {
  QStringList there;
  for (const QString& f : files_)
    if (QFileInfo(f).isFile()) there << f;
  return there;
}

void RecentFiles::add(const QString& file) {
  QString abs = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
  files_.removeAll(abs);
  files_.prepend(abs);
  while (files_.size() > Limit) files_.removeLast();
  save();
}

void RecentFiles::save() const {
  if (path_.isEmpty()) return;
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSaveFile f(path_);
  if (!f.open(QIODevice::WriteOnly)) return;
  for (const QString& file : files_) f.write(file.toUtf8() + '\n');
  f.commit();
}

}  // namespace kelmor
