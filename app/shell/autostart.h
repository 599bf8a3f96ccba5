// The Explorer Manager's start with the session: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/Corvane Explorer Manager.desktop, whose Exec line
// holds the manager's path. "Reading the value" reads that Exec; deleting the
// value removes the entry.
#pragma once

#include <QString>

namespace corvane {

struct RunEntry {
  QString configHome;  // normally ConfigHome()
  QString name = "Corvane Explorer Manager";
  QString path() const { return configHome + "/autostart/" + name + ".desktop"; }
};

// The entry's Exec value (unquoted), or "" when there is no readable entry.
QString ReadRegistryString(const RunEntry& entry);
// Writes the entry with `text` as its Exec value, making the folder when missing.
// Failures are not reported.
void WriteRegistryString(const RunEntry& entry, const QString& text);

// The manager counts as registered when the value names it, in any letter case.
bool ManagerRegistered(const QString& value);

void AddManagerToStartup(const RunEntry& entry, const QString& appFolder);
// Removes the entry; a missing one, or one that cannot go, is no error.
void RemoveManagerFromStartup(const RunEntry& entry);

}  // namespace corvane
