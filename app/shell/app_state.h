// The application's process-wide state: one object, made before any window,
// owned by main() and handed to every window and procedure that needs it.
// Everything here lives on the one user-interface thread; nothing is locked.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "settings.h"

namespace corvane {

struct AppState {
  QString AppFolder;  // ends with '/'; every data file lives here
  QString CurrentJobName;
  QString JobLastRun;
  bool JobSaved = false;
  bool CancelRequested = false;
  bool DuplicateInstance = false;
  bool JobCommandCancelled = false;
  QString OpenJobChoice;
  bool QuickBinOpen = false;
  int16_t MainStateBeforeBin = 0;  // 0 normal, 1 minimized, 2 maximized
  bool QuickBinBusy = false;
  int64_t TotalFileCount = 0;
  QString WipeDrive;
  int32_t WipeDrivePasses = 0;
  QString DriveWipeError;
  bool FreeSpaceRunActive = false;
  QStringList ReportFiles;
  QStringList ReportFolders;
  QStringList ReportErrors;
  SettingsRecord Settings;
  WindowRect Rect;
  bool ManagerWindowFound = false;

  QString JobsFolder() const { return AppFolder + "Jobs/"; }
  QString ReportFolder() const { return AppFolder + "Report/"; }
  QString JobPath(const QString& name) const { return JobsFolder() + name + ".cvj"; }
};

}  // namespace corvane
