// The open wiping job: one ordered sequence of rows, shown by the job list.
// There is no other copy of the job; saving writes these rows, Wipe Now walks
// them, opening a job appends to them.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <vector>

namespace corvane {

struct JobItem {
  QString Path;
  QString SizeText;
  QString Mask;
  QString SubFolders;
  int icon = 2;  // index into the job's image list (1 folder, 2 document, ...)
  bool missing = false;

  // The one test of a row's kind: a folder item has "Yes" or "No" here.
  bool isFolder() const { return SubFolders == "Yes" || SubFolders == "No"; }
};

// The job's image list: 1 a folder, 2 a plain document, then one image per
// three-letter file extension met, kept for the whole run.
class IconCache {
 public:
  IconCache();
  // The image for files whose last four characters, upper-cased, are `key`
  // (".DOC"); made from the desktop's icon theme at the first file of that kind.
  int IconForExtension(const QString& key, const QString& path);
  QIcon icon(int index) const;
  int count() const { return static_cast<int>(images_.size()); }

 private:
  std::vector<QIcon> images_;  // index 0 unused, so indexes start at 1
  std::vector<QString> keys_;  // full file paths; the built-in images have none
};

class JobModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { NameColumn, SizeColumn, MaskColumn, SubFoldersColumn, ColumnCount };

  explicit JobModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const std::vector<JobItem>& rows() const { return rows_; }
  const JobItem& row(int i) const { return rows_[static_cast<size_t>(i)]; }
  int size() const { return static_cast<int>(rows_.size()); }
  void Append(JobItem item);
  void RemoveAt(int i);
  void Clear();
  void SetMissing(int i, bool missing);
  // Whether a row's Path is exactly `path` (Linux names are case-sensitive).
  bool Contains(const QString& path) const;

  IconCache& icons() { return icons_; }

 private:
  std::vector<JobItem> rows_;
  IconCache icons_;
};

}  // namespace corvane
