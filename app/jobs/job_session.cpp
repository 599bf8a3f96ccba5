#include "job_session.h"

#include <sys/stat.h>

#include <QFile>

#include "data_files.h"
#include "job_file.h"
#include "job_rows.h"

namespace corvane {
namespace {

constexpr int kMaxRows = 32767;  // rows are counted in 16 bits when saved

bool IsFolder(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

JobCommandStates ComputeJobCommands(const QString& jobName, const JobModel& model,
                                    int selectedRow) {
  const bool rows = model.size() >= 1;
  JobCommandStates states;
  states.tools.emplace_back("mnuFileDelete", !jobName.isEmpty());
  for (const char* name : {"mnuFileClose", "WipeNow", "mnuActionsWipeNow", "mnuActionsRemove",
                           "SaveJob", "mnuFileSave"}) {
    states.tools.emplace_back(name, rows);
  }
  states.tools.emplace_back("mnuActionsEdit", EditCommandEnabled(model, selectedRow));
  states.countText = FormatItemCount(model.size());
  return states;
}

bool EditCommandEnabled(const JobModel& model, int selectedRow) {
  return model.size() >= 1 && selectedRow >= 0 && selectedRow < model.size() &&
         model.row(selectedRow).isFolder();
}

JobSession::JobSession(AppState& state, JobModel& model, CommandSurface& surface, Prompt& prompt,
                       QWidget* owner, Seams seams)
    : state_(state),
      model_(model),
      surface_(surface),
      prompt_(prompt),
      owner_(owner),
      seams_(std::move(seams)) {}

bool JobSession::ReadJobFile() {
  const auto bytes = ReadWholeFile(state_.JobPath(state_.CurrentJobName));
  const auto content = bytes ? ParseJob(*bytes) : std::nullopt;
  if (!content) {
    prompt_.Ask(owner_, "Error", kOpenJobError, PromptIcon::Exclamation, PromptButtons::Ok);
    state_.CurrentJobName.clear();
    state_.JobSaved = true;
    model_.Clear();
    return false;
  }
  state_.JobLastRun = content->lastRun;
  for (const JobFileEntry& entry : content->entries) {
    if (entry.folder) {
      const bool exists = ItemExists(ItemKind::Folder, entry.path);
      AddFolderRow(model_, entry.path, entry.mask, entry.subFolders);
      if (!exists) model_.SetMissing(model_.size() - 1, true);
    } else {
      const bool exists = ItemExists(ItemKind::File, entry.path);
      AddFileRow(model_, entry.path);
      if (!exists) model_.SetMissing(model_.size() - 1, true);
    }
  }
  state_.JobSaved = true;
  surface_.SetPaneText("Static2", "Job: " + state_.CurrentJobName);
  return true;
}

bool JobSession::WriteJobFile() {
  if (state_.CurrentJobName.isEmpty()) return false;
  if (model_.size() > kMaxRows || !WriteWholeFile(state_.JobPath(state_.CurrentJobName),
                                                  SerializeJob(state_.JobLastRun, model_.rows()))) {
    prompt_.Ask(owner_, "Error", kSaveJobError, PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  surface_.SetPaneText("Static2", "Job: " + state_.CurrentJobName);
  state_.JobSaved = true;
  return true;
}

void JobSession::UpdateJobCommands() {
  const JobCommandStates states =
      ComputeJobCommands(state_.CurrentJobName, model_, seams_.selectedRow());
  for (const auto& [name, enabled] : states.tools) surface_.SetToolEnabled(name, enabled);
  surface_.SetPaneText("Static3", states.countText);
}

void JobSession::UpdateEditCommand() {
  surface_.SetToolEnabled("mnuActionsEdit", EditCommandEnabled(model_, seams_.selectedRow()));
}

void JobSession::CloseCurrentJob() {
  if (state_.Settings.PromptToSave == 1 && !state_.JobSaved &&
      (!state_.CurrentJobName.isEmpty() || model_.size() >= 1)) {
    switch (prompt_.Ask(owner_, "Save", "Save the current Wiping Job?", PromptIcon::Question,
                        PromptButtons::YesNoCancel)) {
      case PromptAnswer::Cancel:
        state_.JobCommandCancelled = true;
        return;
      case PromptAnswer::Yes:
        if (!state_.CurrentJobName.isEmpty()) {
          WriteJobFile();
        } else if (seams_.askJobName && seams_.askJobName()) {
          WriteJobFile();
        }
        break;
      default:
        break;
    }
  }
  state_.CurrentJobName.clear();
  state_.JobSaved = true;
  state_.JobLastRun = "N/A";
  surface_.SetPaneText("Static2", "");
  surface_.SetPaneText("Static3", "");
  model_.Clear();
  UpdateJobCommands();
}

bool JobSession::AddFilePath(const QString& path) {
  if (!JobFileCanHold(path)) {
    prompt_.Ask(owner_, "Error", kUnstorablePath, PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  AddFileRow(model_, path);
  return true;
}

void JobSession::AddDroppedPaths(const QStringList& paths) {
  for (const QString& path : paths) {
    if (IsInJob(path)) continue;
    if (IsFolder(path)) {
      if (!JobFileCanHold(path)) {
        prompt_.Ask(owner_, "Error", kUnstorablePath, PromptIcon::Exclamation, PromptButtons::Ok);
      } else if (seams_.addFolder) {
        seams_.addFolder(path);
      }
    } else {
      AddFilePath(path);
    }
  }
  if (model_.size() >= 1) {
    seams_.selectRow(0);
    state_.JobSaved = false;
  }
  UpdateJobCommands();
}

bool JobSession::OpenJobFromCommandLine(const QStringList& arguments) {
  if (arguments.size() != 1) return false;
  const QString& argument = arguments.front();
  if (!argument.contains(state_.AppFolder, Qt::CaseInsensitive) ||
      !argument.contains(".cvj", Qt::CaseInsensitive)) {
    return false;
  }
  const QString file = argument.mid(argument.lastIndexOf('/') + 1);
  if (file.size() <= 4) return false;  // no name before the extension
  state_.CurrentJobName = file.left(file.size() - 4);
  ReadJobFile();
  UpdateJobCommands();
  return true;
}

void JobSession::AddPathsFromCommandLine(const QStringList& arguments) {
  QStringList paths;
  for (const QString& argument : arguments) {
    if (!argument.isEmpty()) paths << argument;
  }
  AddDroppedPaths(paths);
}

}  // namespace corvane
