#include "job_model.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace corvane {
namespace {

// An icon of our own for when the desktop's theme has none.
QIcon DrawnIcon(const QColor& color, bool folder) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(color.darker());
  painter.setBrush(color);
  if (folder) {
    painter.drawRect(1, 4, 14, 10);
    painter.drawRect(1, 2, 6, 2);
  } else {
    painter.drawRect(3, 1, 10, 14);
  }
  return QIcon(pixmap);
}

}  // namespace

IconCache::IconCache() {
  images_.push_back({});
  keys_.push_back({});
  images_.push_back(QIcon::fromTheme("folder", DrawnIcon(QColor(240, 200, 80), true)));
  keys_.push_back({});
  images_.push_back(QIcon::fromTheme("text-x-generic", DrawnIcon(Qt::white, false)));
  keys_.push_back({});
}

int IconCache::IconForExtension(const QString& key, const QString& path) {
  for (int i = 1; i < count(); ++i) {
    const QString& k = keys_[static_cast<size_t>(i)];
    if (!k.isEmpty() && k.right(4).toUpper() == key) return i;
  }
  const QMimeType type =
      QMimeDatabase().mimeTypeForFile("file" + key.toLower(), QMimeDatabase::MatchExtension);
  QIcon icon =
      QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), images_[2]));
  images_.push_back(icon);
  keys_.push_back(path);
  return count() - 1;
}

QIcon IconCache::icon(int index) const {
  if (index < 1 || index >= count()) return images_[2];
  return images_[static_cast<size_t>(index)];
}

JobModel::JobModel(QObject* parent) : QAbstractTableModel(parent) {}

int JobModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : size();
}

int JobModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant JobModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= size()) return {};
  const JobItem& item = row(index.row());
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case NameColumn:
          return item.Path;
        case SizeColumn:
          return item.SizeText;
        case MaskColumn:
          return item.Mask;
        case SubFoldersColumn:
          return item.SubFolders;
      }
      return {};
    case Qt::DecorationRole:
      if (index.column() != NameColumn) return {};
      if (item.missing) {
        // Dimmed, as the whole row is.
        return QIcon(icons_.icon(item.icon).pixmap(16, 16, QIcon::Disabled));
      }
      return icons_.icon(item.icon);
    case Qt::ForegroundRole:
      if (item.missing) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
      return {};
  }
  return {};
}

QVariant JobModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case NameColumn:
      return QStringLiteral("Name & Location");
    case SizeColumn:
      return QStringLiteral("Size");
    case MaskColumn:
      return QStringLiteral("Folder Mask");
    case SubFoldersColumn:
      return QStringLiteral("Sub Folders");
  }
  return {};
}

void JobModel::Append(JobItem item) {
  beginInsertRows({}, size(), size());
  rows_.push_back(std::move(item));
  endInsertRows();
}

void JobModel::RemoveAt(int i) {
  if (i < 0 || i >= size()) return;
  beginRemoveRows({}, i, i);
  rows_.erase(rows_.begin() + i);
  endRemoveRows();
}

void JobModel::Clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void JobModel::SetMissing(int i, bool missing) {
  if (i < 0 || i >= size()) return;
  rows_[static_cast<size_t>(i)].missing = missing;
  emit dataChanged(index(i, 0), index(i, ColumnCount - 1));
}

bool JobModel::Contains(const QString& path) const {
  for (const JobItem& item : rows_) {
    if (item.Path == path) return true;
  }
  return false;
}

}  // namespace corvane
