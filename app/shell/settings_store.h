// Loading and saving the settings files in the application folder.
#pragma once

#include <QString>

#include "settings.h"

namespace corvane {

struct LoadedSettings {
  SettingsRecord record;
  WindowRect rect;
  bool showWelcome = false;
};

// Reads Settings.dat and Settings2.dat from `appFolder`, creating them with the
// defaults where missing. A file that cannot be read or written, or a damaged
// Settings.dat, gives the defaults (both files written again, no welcome).
// `managerRegistered` is the autostart entry's verdict and always wins over the
// stored LoadManagerAtStartup.
LoadedSettings LoadSettings(const QString& appFolder, bool managerRegistered);

// The defaults of a fresh start.
SettingsRecord DefaultSettings(bool managerRegistered);

bool SaveSettingsRecord(const QString& appFolder, const SettingsRecord& record);
bool SaveWindowRect(const QString& appFolder, const WindowRect& rect);

}  // namespace corvane
