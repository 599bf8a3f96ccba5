#include "autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "data_files.h"

namespace corvane {
namespace {

// The Exec quoting of the desktop entry format: quoted when it holds anything
// but plain characters, with ", `, $ and \ escaped inside the quotes.
QString QuoteExec(const QString& text) {
  static const QString kPlain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:@%";
  bool plain = !text.isEmpty();
  for (QChar c : text) plain = plain && kPlain.contains(c);
  if (plain) return text;
  QString out = "\"";
  for (QChar c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

QString UnquoteExec(const QString& value) {
  if (!value.startsWith('"')) return value;
  QString out;
  for (int i = 1; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      out += value[++i];
    } else if (value[i] == '"') {
      break;
    } else {
      out += value[i];
    }
  }
  return out;
}

}  // namespace

QString ReadRegistryString(const RunEntry& entry) {
  const auto bytes = ReadWholeFile(entry.path());
  if (!bytes) return {};
  for (const QByteArray& line : bytes->split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith("Exec=")) return UnquoteExec(QString::fromUtf8(trimmed.mid(5)));
  }
  return {};
}

void WriteRegistryString(const RunEntry& entry, const QString& text) {
  QDir().mkpath(QFileInfo(entry.path()).path());
  const QString content = "[Desktop Entry]\nType=Application\nName=" + entry.name +
                          "\nExec=" + QuoteExec(text) + "\nTerminal=false\n";
  WriteWholeFile(entry.path(), content.toUtf8());
}

bool ManagerRegistered(const QString& value) {
  return value.contains("CVEXMAN", Qt::CaseInsensitive);
}

void AddManagerToStartup(const RunEntry& entry, const QString& appFolder) {
  WriteRegistryString(entry, appFolder + "CVExMan");
}

void RemoveManagerFromStartup(const RunEntry& entry) {
  QFile::remove(entry.path());
}

}  // namespace corvane
