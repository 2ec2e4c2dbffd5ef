// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/DriveDirLists.h"

#include "common/Utils.h"
#include "mainwin/windows/WidgetKit.h"
#include "platform/WinPath.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>

namespace qarno {

namespace {
QList<DirEntry> Sorted(std::vector<DirEntry> entries, bool directories) {
  QList<DirEntry> out;
  for (DirEntry& e : entries) {
    if (e.isDirectory == directories && e.representable) out.append(std::move(e));
  }
  std::sort(out.begin(), out.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name.compare(b.name, Qt::CaseInsensitive) < 0; });
  return out;
}
}  // namespace

DriveBox::DriveBox(Platform& fs, const DriveTable& drives, QWidget* parent) : QComboBox(parent) {
  // The other drives' long names do not widen the dialog, the one shown does.
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(6);
  connect(this, &QComboBox::currentIndexChanged, this, [this] { updateGeometry(); });
  entries = ReadDriveList(fs, drives);
  const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon);
  for (const DriveListEntry& e : entries) addItem(icon, e.text);
  connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
    if (index < 0 || index >= entries.size() || index == shown_) return;
    const int before = shown_;
    shown_ = index;
    emit driveChosen(entries[index]);
    // A handler that refused the drive has put the earlier one back.
    Q_UNUSED(before);
  });
}

void DriveBox::ShowDriveOf(const QString& path) {
  const int i = DriveIndexOf(entries, path);
  if (i < 0) return;
  shown_ = i;
  {
    const QSignalBlocker block(this);
    setCurrentIndex(i);
  }
  updateGeometry();
}

QSize DriveBox::minimumSizeHint() const {
  QSize size = QComboBox::minimumSizeHint();
  size.setWidth(std::max(size.width(), ComboWidthFor(this, fontMetrics().horizontalAdvance(currentText()))));
  return size;
}

QSize DriveBox::sizeHint() const { return QComboBox::sizeHint().expandedTo(minimumSizeHint()); }

const DriveListEntry* DriveBox::Current() const {
  return shown_ >= 0 && shown_ < entries.size() ? &entries[shown_] : nullptr;
}

void DriveBox::Revert() {
  // The drive shown before the last choice is the one the directory list still shows.
  {
    const QSignalBlocker block(this);
    setCurrentIndex(shown_);
  }
  updateGeometry();
}

DirListBox::DirListBox(Platform& fs, QWidget* parent) : QTreeWidget(parent), fs_(fs) {
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(12);
  setUniformRowHeights(true);
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) emit dirClicked(item->data(0, Qt::UserRole).toString());
  });
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    emit dirClicked(item->data(0, Qt::UserRole).toString());
  });
  connect(this, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { setPath(item->data(0, Qt::UserRole).toString()); });
}

bool DirListBox::setPath(const QString& pathIn) {
  QString path = pathIn;
  if (winpath::IsDriveRoot(path)) path = winpath::DriveRoot(path);
  while (path.size() > 3 && path.endsWith(u'\\')) path.chop(1);
  auto listed = fs_.List(winpath::Join(path, QStringLiteral("*.*")));
  if (!listed) return false;
  blockSignals(true);
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  // The chain of parents from the drive root down to the opened directory.
  QTreeWidgetItem* parent = nullptr;
  for (int n = 1;; ++n) {
    const QString prefix = GetPathPrefix(path, n);
    if (prefix.isEmpty()) break;
    QString dir, name;
    SplitPath(prefix, dir, name);
    const QString text = winpath::IsDriveRoot(prefix) ? prefix.toLower() : name;
    auto* item = parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(this, {text});
    item->setIcon(0, open);
    item->setData(0, Qt::UserRole, prefix);
    item->setExpanded(true);
    parent = item;
  }
  for (const DirEntry& e : Sorted(std::move(*listed), true)) {
    auto* item = new QTreeWidgetItem(parent, {e.name});
    item->setIcon(0, closed);
    item->setData(0, Qt::UserRole, winpath::Join(path, e.name));
  }
  expandAll();
  path_ = path;
  setCurrentItem(parent);
  if (parent) scrollToItem(parent, QAbstractItemView::PositionAtCenter);
  blockSignals(false);
  emit pathChanged(path_);
  return true;
}

QString DirListBox::selectedPath() const {
  const QTreeWidgetItem* item = currentItem();
  return item ? item->data(0, Qt::UserRole).toString() : path_;
}

void DirListBox::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentItem()) {
    setPath(selectedPath());
    return;
  }
  QTreeWidget::keyPressEvent(e);
}

FileListBox::FileListBox(Platform& fs, QWidget* parent) : QListWidget(parent), fs_(fs) {
  setUniformItemSizes(true);
}

void FileListBox::setFolder(const QString& folder) {
  auto listed = fs_.List(winpath::Join(folder, QStringLiteral("*.*")));
  clear();
  folder_ = folder;
  if (!listed) return;
  for (const DirEntry& e : Sorted(std::move(*listed), false)) addItem(e.name);
}

}  // namespace qarno
