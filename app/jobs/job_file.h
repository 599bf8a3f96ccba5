// The job file format: one value per line, each written as a double quote, the
// text, a double quote and CR LF. The last-run text, "[FOLDERS]", three lines
// per folder item (path, mask, sub-folders), "[FILES]", one line per file item.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "job_model.h"

namespace corvane {

struct JobFileEntry {
  bool folder = false;
  QString path;
  QString mask;        // folder entries
  QString subFolders;  // folder entries, as read
};

struct JobFileContent {
  QString lastRun;
  std::vector<JobFileEntry> entries;  // in file order
};

// The file for `rows`: folder items first, then file items, each in list order.
QByteArray SerializeJob(const QString& lastRun, const std::vector<JobItem>& rows);

// Reads values in sequence: a quoted line gives the text between its quotes, an
// unquoted one its text up to the first comma. The second value is ignored
// whatever it is; "[FILES]" (exact) starts the file items; any other value
// before it is a folder path followed by two more values. Nothing when the
// content ends where a value is due.
std::optional<JobFileContent> ParseJob(const QByteArray& bytes);

// The first value of a job file (its last-run text), or nothing.
std::optional<QString> ReadLastRunValue(const QByteArray& bytes);

// A path the format cannot carry (a double quote ends a value, a line break
// ends a line): it would read back as another path.
bool JobFileCanHold(const QString& path);

}  // namespace corvane
