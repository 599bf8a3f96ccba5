// Small file operations of the application: whole files read and rewritten
// through a temporary file and a move, so a failure never leaves half a file.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace corvane {

// The whole content of `path`, or nothing when it cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

// Replaces `path` with `bytes` (temporary file in the same folder, then a move).
// Returns false, leaving the old file as it was, when anything fails.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);

// The folder the program file is in, with a trailing '/', when it can be
// written; otherwise the per-user data folder ($XDG_DATA_HOME/Corvane/ or
// ~/.local/share/Corvane/), made when missing.
QString ComputeAppFolder(const QString& programFolder, const QString& dataHome);

// $XDG_DATA_HOME, or ~/.local/share.
QString DataHome();
// $XDG_CONFIG_HOME, or ~/.config.
QString ConfigHome();

}  // namespace corvane
