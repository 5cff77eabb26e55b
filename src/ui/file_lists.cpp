#include "ui/file_lists.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>

namespace kelmor {

namespace {

constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPerLevel = 12;

// Draws a folder entry moved right by its depth in the chain.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem moved(option);
    moved.rect.setLeft(moved.rect.left() + indent(index));
    QStyledItemDelegate::paint(painter, moved, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    return {s.width() + indent(index), s.height()};
  }

 private:
  static int indent(const QModelIndex& index) {
    return index.data(DepthRole).toInt() * IndentPerLevel;
  }
};

}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  QStringList roots;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    if (!v.isValid() || !v.isReady()) continue;
    QString root = v.rootPath();
    if (!roots.contains(root)) roots << root;
  }
  if (!roots.contains(QDir::rootPath())) roots << QDir::rootPath();
  roots.sort();
  for (const QString& r : roots) addItem(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon), r, r);
  connect(this, &QComboBox::activated, this, [this](int i) { emit driveChosen(itemData(i).toString()); });
}

void DriveList::showDriveOf(const QString& path) {
  // The volume whose root is the longest leading part of the path.
  QString abs = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  int best = -1;
  qsizetype bestLen = -1;
  for (int i = 0; i < count(); ++i) {
    QString root = itemData(i).toString();
    bool inside = abs == root || abs.startsWith(root.endsWith('/') ? root : root + '/');
    if (inside && root.size() > bestLen) {
      best = i;
      bestLen = root.size();
    }
  }
  QSignalBlocker block(this);
  if (best >= 0) setCurrentIndex(best);
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setIconSize(QSize(16, 16));
  setItemDelegate(new IndentDelegate(this));
  connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    setPath(item->data(Qt::UserRole).toString());
  });
}

void FolderList::setPath(const QString& path) {
  QString p = QDir::cleanPath(QFileInfo(path.isEmpty() ? QDir::homePath() : path).absoluteFilePath());
  while (!QFileInfo(p).isDir() && p != QDir::rootPath()) p = QFileInfo(p).absolutePath();
  bool changed = p != path_;
  path_ = p;

  clear();
  QStyle* st = QApplication::style();
  QStringList chain;
  for (QDir d(p);; ) {
    chain.prepend(d.absolutePath());
    if (d.isRoot() || !d.cdUp()) break;
  }
  int depth = 0;
  for (const QString& folder : chain) {
    QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
    auto* item = new QListWidgetItem(st->standardIcon(QStyle::SP_DirOpenIcon), name, this);
    item->setData(Qt::UserRole, folder);
    item->setData(DepthRole, depth);
    ++depth;
  }
  setCurrentRow(count() - 1);
  const QStringList subs = QDir(p).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& sub : subs) {
    auto* item = new QListWidgetItem(st->standardIcon(QStyle::SP_DirIcon), sub, this);
    item->setData(Qt::UserRole, QDir(p).filePath(sub));
    item->setData(DepthRole, depth);
  }
  if (changed) emit pathChanged(path_);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(16, 16));
}

void FileList::setFolder(const QString& folder) {
  bool same = folder == folder_;
  folder_ = folder;
  fill(same ? selectedFile() : QString());
}

void FileList::setPattern(const QString& pattern) {
  patterns_ = pattern.split(';', Qt::SkipEmptyParts);
  for (QString& p : patterns_) p = p.trimmed();
  fill(QString());
}

void FileList::refresh() { fill(selectedFile()); }

bool FileList::isWrittenFile(const QString& name) {
  const QString lower = name.toLower();
  return lower.endsWith("_debug.txt") || lower.endsWith("_facts.txt") || lower.endsWith(".wrl") ||
         lower.endsWith(".off");
}

bool FileList::isWrittenFile(const QString& folder, const QString& name) {
  if (!isWrittenFile(name)) return false;
  const bool off = name.toLower().endsWith(".off"), facts = name.toLower().endsWith("_facts.txt");
  if (!off && !facts) return true;
  // Kelmor's OFF files (and its 4OFF files) say who made them in their first lines, and its
  // facts files begin with the solution's name; any other OFF file is a solid to read, and
  // any other text file may be an input.
  QFile file(QDir(folder).filePath(name));
  if (!file.open(QIODevice::ReadOnly)) return true;
  const QByteArray head = file.read(1024);
  if (facts) return head.startsWith("solution: ");
  return head.startsWith("4OFF") || head.contains("\n# KELMOR --- ");
}

void FileList::fill(const QString& keep) {
  QSignalBlocker block(this);
  clear();
  if (!folder_.isEmpty()) {
    const QStringList files =
        QDir(folder_).entryList(patterns_ + ForeignPatterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& f : files)
      if (!isWrittenFile(folder_, f)) addItem(f);
  }
  setCurrentRow(-1);
  clearSelection();
  if (!keep.isEmpty()) selectFile(keep);
  block.unblock();
  emit itemSelectionChanged();
}

void FileList::keyPressEvent(QKeyEvent* event) {
  bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && currentItem()) {
    currentItem()->setSelected(true);
    emit fileEntered();
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

QString FileList::selectedFile() const {
  const auto items = selectedItems();
  return items.isEmpty() ? QString() : items.first()->text();
}

bool FileList::selectFile(const QString& name) {
  const auto found = findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  setCurrentItem(found.first());
  found.first()->setSelected(true);
  scrollToItem(found.first());
  return true;
}

}  // namespace kelmor
