// The procedures that act on the open job: reading and writing its file, the
// enabling of the job commands, closing it, and adding dropped paths.
// Everything runs on the user-interface thread.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "app_state.h"
#include "job_model.h"
#include "prompt.h"

class QWidget;

namespace corvane {

// Where the job procedures switch commands and write status texts: the main
// window's command bars (tools and panes by name).
class CommandSurface {
 public:
  virtual ~CommandSurface() = default;
  virtual void SetToolEnabled(const QString& name, bool enabled) = 0;
  virtual void SetPaneText(const QString& name, const QString& text) = 0;
};

struct JobCommandStates {
  std::vector<std::pair<QString, bool>> tools;  // in the order they are set
  QString countText;
};

// What UpdateJobCommands sets for a job called `jobName` (empty: untitled) with
// `model`'s rows and `selectedRow` selected (-1: none).
JobCommandStates ComputeJobCommands(const QString& jobName, const JobModel& model, int selectedRow);
// Whether "Edit Folder Item" applies: a row is selected and it is a folder item.
bool EditCommandEnabled(const JobModel& model, int selectedRow);

class JobSession {
 public:
  struct Seams {
    std::function<int()> selectedRow;               // -1 when no row is selected
    std::function<void(int)> selectRow;             // 0-based
    std::function<bool()> askJobName;               // Save Job dialog: true when it set a name
    std::function<void(const QString&)> addFolder;  // Add Folder dialog preset to a folder
  };

  JobSession(AppState& state, JobModel& model, CommandSurface& surface, Prompt& prompt,
             QWidget* owner, Seams seams);

  bool ReadJobFile();
  bool WriteJobFile();
  void UpdateJobCommands();
  void UpdateEditCommand();
  void CloseCurrentJob();

  // Adds `paths` in order: a folder through the Add Folder dialog, anything else
  // as a file row; paths already in the job are skipped without a message.
  void AddDroppedPaths(const QStringList& paths);

  // The program's arguments: one job file of the Jobs folder opens that job
  // (returns true); anything else is a list of paths to add.
  bool OpenJobFromCommandLine(const QStringList& arguments);
  void AddPathsFromCommandLine(const QStringList& arguments);

  // Whether `path` is a row's path already (compared exactly).
  bool IsInJob(const QString& path) const { return model_.Contains(path); }

  // Adds a file row unless the path cannot be kept in a job file (then says so).
  bool AddFilePath(const QString& path);

 private:
  AppState& state_;
  JobModel& model_;
  CommandSurface& surface_;
  Prompt& prompt_;
  QWidget* owner_;
  Seams seams_;
};

inline const char* kOpenJobError =
    "An error was encountered trying to open the existing Corvane Job.";
inline const char* kSaveJobError =
    "An error was encountered trying to save the current wiping job.  Ensure that Corvane was "
    "installed with the proper permissions to create a Jobs sub folder under the main folder and "
    "can write files within the folder.";
inline const char* kUnstorablePath =
    "The path cannot be added to the wiping job because its name contains a double quote or a "
    "line break.";

}  // namespace corvane
