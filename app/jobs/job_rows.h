// Turning paths into job rows, and the texts the job list shows.
#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

#include "job_model.h"

namespace corvane {

// "1023 Bytes", "1.00 KB", "1.50 MB", "2.00 GB" (two decimals, the locale's
// decimal separator, no grouping).
QString FormatSize(uint64_t bytes, const QLocale& locale = QLocale());

// The count pane: "0 Items", "1 Item", "2 Items", "1,000 Items" (the locale's
// thousands separator).
QString FormatItemCount(int rows, const QLocale& locale = QLocale());

enum class ItemKind { File = 1, Folder = 2 };
// kind File: an entry that is not a folder exists at `path`; kind Folder: any
// entry exists there. Links are not followed.
bool ItemExists(ItemKind kind, const QString& path);

// The size of the entry at `path`, 0 when there is none.
uint64_t FileSizeOf(const QString& path);

// The name after the last '/'. `folder` receives everything before it, '/'
// included; without a '/' the name is empty and `folder` is left as it is.
QString SplitPath(const QString& path, QString& folder);

// Makes the Jobs and Report folders of `appFolder` where missing; errors ignored.
void EnsureDataFolders(const QString& appFolder);

// Appends a complete row to `model`.
void AddFileRow(JobModel& model, const QString& path);
void AddFolderRow(JobModel& model, const QString& path, const QString& mask,
                  const QString& subFolders);

// The four column widths for a list `width` twips wide: W/2, W/7, W/6, W/6.
struct ColumnWidths {
  int name, size, mask, subFolders;
  bool operator==(const ColumnWidths&) const = default;
};
ColumnWidths JobColumnWidths(int width);

}  // namespace corvane
