#include "settings_store.h"

#include <QFileInfo>

#include "data_files.h"

namespace corvane {
namespace {

QString SettingsPath(const QString& appFolder) {
  return appFolder + "Settings.dat";
}
QString RectPath(const QString& appFolder) {
  return appFolder + "Settings2.dat";
}

LoadedSettings Recover(const QString& appFolder, bool managerRegistered) {
  LoadedSettings loaded;
  loaded.record = DefaultSettings(managerRegistered);
  // Nothing more can be done when these fail: the run keeps the defaults in memory.
  SaveSettingsRecord(appFolder, loaded.record);
  SaveWindowRect(appFolder, loaded.rect);
  return loaded;
}

}  // namespace

SettingsRecord DefaultSettings(bool managerRegistered) {
  SettingsRecord record;
  record.LoadManagerAtStartup = managerRegistered ? 1 : 0;
  return record;
}

bool SaveSettingsRecord(const QString& appFolder, const SettingsRecord& record) {
  return WriteWholeFile(SettingsPath(appFolder), record.Serialize());
}

bool SaveWindowRect(const QString& appFolder, const WindowRect& rect) {
  return WriteWholeFile(RectPath(appFolder), rect.Serialize());
}

LoadedSettings LoadSettings(const QString& appFolder, bool managerRegistered) {
  LoadedSettings loaded;
  if (!QFileInfo::exists(SettingsPath(appFolder))) {
    loaded.record = DefaultSettings(managerRegistered);
    if (!SaveSettingsRecord(appFolder, loaded.record) || !SaveWindowRect(appFolder, loaded.rect)) {
      return Recover(appFolder, managerRegistered);
    }
  } else {
    const auto bytes = ReadWholeFile(SettingsPath(appFolder));
    const auto record = bytes ? SettingsRecord::Parse(*bytes) : std::nullopt;
    if (!record) return Recover(appFolder, managerRegistered);
    loaded.record = *record;
    loaded.record.LoadManagerAtStartup = managerRegistered ? 1 : 0;

    if (!QFileInfo::exists(RectPath(appFolder))) {
      // Created empty; it reads as zeros, so the window opens maximized.
      if (!WriteWholeFile(RectPath(appFolder), {})) return Recover(appFolder, managerRegistered);
    } else {
      const auto rect = ReadWholeFile(RectPath(appFolder));
      if (!rect) return Recover(appFolder, managerRegistered);
      loaded.rect = WindowRect::Parse(*rect);
    }
  }
  loaded.showWelcome = !QFileInfo::exists(appFolder + "sfrun.dat");
  return loaded;
}

}  // namespace corvane
