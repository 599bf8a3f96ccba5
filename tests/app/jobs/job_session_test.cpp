// The job procedures over a recorded command surface: reading and writing job
// files, command states, closing, and adding paths.
#include "job_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <map>

#include "app_test_support.h"
#include "data_files.h"
#include "job_file.h"
#include "job_rows.h"

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;

class RecordedSurface final : public CommandSurface {
 public:
  void SetToolEnabled(const QString& name, bool enabled) override { tools[name] = enabled; }
  void SetPaneText(const QString& name, const QString& text) override { panes[name] = text; }
  std::map<QString, bool> tools;
  std::map<QString, QString> panes;
};

class JobSessionTest : public ::testing::Test {
 protected:
  JobSessionTest()
      : session(state, model, surface, prompt, nullptr,
                {[this] { return selected; }, [this](int row) { selected = row; },
                 [this] {
                   if (!nameFromDialog) return false;
                   state.CurrentJobName = *nameFromDialog;
                   return true;
                 },
                 [this](const QString& folder) { foldersOffered << folder; }}) {
    state.AppFolder = Q(dir.path()) + "/";
    EnsureDataFolders(state.AppFolder);
    state.JobLastRun = "N/A";
    state.JobSaved = true;
  }

  std::vector<QString> Paths() const {
    std::vector<QString> out;
    for (const JobItem& row : model.rows()) out.push_back(row.Path);
    return out;
  }

  TempDir dir;
  AppState state;
  JobModel model;
  RecordedSurface surface;
  ScriptedPrompt prompt;
  int selected = -1;
  std::optional<QString> nameFromDialog;
  QStringList foldersOffered;
  JobSession session;
};

TEST_F(JobSessionTest, CommandStatesFollowTheJob) {
  struct Case {
    const char* what;
    QString name;
    std::vector<JobItem> rows;
    int selected;
    std::set<QString> enabled;
    QString count;
  };
  const std::set<QString> row_tools = {"mnuFileClose",     "WipeNow", "mnuActionsWipeNow",
                                       "mnuActionsRemove", "SaveJob", "mnuFileSave"};
  std::set<QString> with_edit = row_tools;
  with_edit.insert("mnuActionsEdit");
  std::set<QString> named_rows = row_tools;
  named_rows.insert("mnuFileDelete");
  const JobItem file{"/f", "1 Bytes", "", "", 2, false};
  const JobItem folder{"/d", "N/A", "*.*", "Yes", 1, false};
  const Case cases[] = {
      {"empty untitled job", "", {}, -1, {}, "0 Items"},
      {"named job, all rows removed", "Weekly", {}, -1, {"mnuFileDelete"}, "0 Items"},
      {"one file row selected", "", {file}, 0, row_tools, "1 Item"},
      {"one folder row selected", "", {folder}, 0, with_edit, "1 Item"},
      {"folder row, nothing selected", "", {folder, file}, -1, row_tools, "2 Items"},
      {"named, file selected", "Weekly", {folder, file}, 1, named_rows, "2 Items"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    JobModel m;
    for (const JobItem& row : c.rows) m.Append(row);
    const JobCommandStates states = ComputeJobCommands(c.name, m, c.selected);
    std::set<QString> enabled;
    for (const auto& [tool, on] : states.tools) {
      if (on) enabled.insert(tool);
    }
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(states.tools.size(), 8u);
    EXPECT_EQ(states.countText, c.count);
  }
}

TEST_F(JobSessionTest, SavedJobReadsBackWithMissingItemsDimmed) {
  purgewell::testing::WriteFile(dir / "keep.txt", "12345");
  AddFileRow(model, Q(dir / "keep.txt"));
  AddFileRow(model, Q(dir / "gone.txt"));
  AddFolderRow(model, Q(dir / "gone-folder"), "*.doc", "No");
  state.CurrentJobName = "Weekly";
  ASSERT_TRUE(session.WriteJobFile());
  EXPECT_EQ(surface.panes["Static2"], "Job: Weekly");
  EXPECT_TRUE(state.JobSaved);

  model.Clear();
  ASSERT_TRUE(session.ReadJobFile());
  EXPECT_THAT(Paths(),
              ElementsAre(Q(dir / "gone-folder"), Q(dir / "keep.txt"), Q(dir / "gone.txt")));
  EXPECT_TRUE(model.row(0).missing);
  EXPECT_EQ(model.row(0).SizeText, "N/A");
  EXPECT_FALSE(model.row(1).missing);
  EXPECT_EQ(model.row(1).SizeText, "5 Bytes");
  EXPECT_TRUE(model.row(2).missing);
  EXPECT_EQ(model.row(2).SizeText, "0 Bytes");
  EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(JobSessionTest, UnreadableJobLeavesAnEmptyUntitledJob) {
  ASSERT_TRUE(WriteWholeFile(state.JobPath("Broken"), "\"N/A\"\r\n"));
  AddFileRow(model, "/already/here");
  state.CurrentJobName = "Broken";
  state.JobSaved = false;

  EXPECT_FALSE(session.ReadJobFile());

  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].title, "Error");
  EXPECT_EQ(prompt.asked[0].text, kOpenJobError);
  EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(state.CurrentJobName, "");
  EXPECT_TRUE(state.JobSaved);
  EXPECT_EQ(model.size(), 0);
  EXPECT_EQ(surface.panes.count("Static2"), 0u);  // the job pane is not set
}

TEST_F(JobSessionTest, WritingWithoutANameWritesNothing) {
  AddFileRow(model, "/x");
  state.JobSaved = false;
  EXPECT_FALSE(session.WriteJobFile());
  EXPECT_FALSE(state.JobSaved);
  EXPECT_TRUE(QDir(state.JobsFolder()).entryList(QDir::Files).isEmpty());
}

TEST_F(JobSessionTest, FailedWriteSaysSoAndKeepsTheOldFile) {
  state.CurrentJobName = "Weekly";
  ASSERT_TRUE(WriteWholeFile(state.JobPath("Weekly"), SerializeJob("N/A", {})));
  ASSERT_TRUE(QDir(state.JobsFolder()).removeRecursively());  // the folder is gone
  AddFileRow(model, "/x");
  state.JobSaved = false;
  EXPECT_FALSE(session.WriteJobFile());
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, kSaveJobError);
  EXPECT_FALSE(state.JobSaved);
}

TEST_F(JobSessionTest, CloseAsksOnlyWhenThereIsSomethingUnsaved) {
  struct Case {
    const char* what;
    int16_t promptToSave;
    bool saved;
    QString name;
    int rows;
    bool asks;
  };
  const Case cases[] = {
      {"prompting off", 0, false, "Weekly", 1, false},
      {"saved", 1, true, "Weekly", 1, false},
      {"untitled, rows all removed", 1, false, "", 0, false},
      {"untitled with rows", 1, false, "", 1, true},
      {"named without rows", 1, false, "Weekly", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompt.asked.clear();
    prompt.answers = {PromptAnswer::No};
    state.Settings.PromptToSave = c.promptToSave;
    state.JobSaved = c.saved;
    state.CurrentJobName = c.name;
    model.Clear();
    for (int i = 0; i < c.rows; ++i) AddFileRow(model, "/x");
    session.CloseCurrentJob();
    EXPECT_EQ(prompt.asked.size(), c.asks ? 1u : 0u);
    EXPECT_EQ(model.size(), 0);
    EXPECT_EQ(state.CurrentJobName, "");
    EXPECT_EQ(state.JobLastRun, "N/A");
    EXPECT_EQ(surface.panes["Static3"], "0 Items");
  }
}

TEST_F(JobSessionTest, CancelInTheSaveQuestionKeepsTheJob) {
  state.Settings.PromptToSave = 1;
  state.CurrentJobName = "Weekly";
  state.JobSaved = false;
  AddFileRow(model, "/x");
  prompt.answers = {PromptAnswer::Cancel};
  session.CloseCurrentJob();
  EXPECT_TRUE(state.JobCommandCancelled);
  EXPECT_EQ(state.CurrentJobName, "Weekly");
  EXPECT_EQ(model.size(), 1);
  EXPECT_EQ(prompt.asked[0].title, "Save");
  EXPECT_EQ(prompt.asked[0].text, "Save the current Wiping Job?");
  EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::YesNoCancel);
}

TEST_F(JobSessionTest, YesSavesANamedJobOrAsksForAName) {
  state.Settings.PromptToSave = 1;
  // Untitled, name dialog cancelled: closed without saving.
  state.JobSaved = false;
  AddFileRow(model, "/x");
  prompt.answers = {PromptAnswer::Yes};
  session.CloseCurrentJob();
  EXPECT_TRUE(QDir(state.JobsFolder()).entryList(QDir::Files).isEmpty());
  EXPECT_EQ(model.size(), 0);

  // Untitled, a name given: written under it, then closed.
  state.JobSaved = false;
  AddFileRow(model, "/y");
  nameFromDialog = "Named";
  prompt.answers = {PromptAnswer::Yes};
  session.CloseCurrentJob();
  EXPECT_TRUE(QFile::exists(state.JobPath("Named")));
  EXPECT_EQ(state.CurrentJobName, "");
}

TEST_F(JobSessionTest, DroppedPathsAreAddedOnceInOrder) {
  purgewell::testing::WriteFile(dir / "a.txt", "a");
  purgewell::testing::WriteFile(dir / "b.txt", "b");
  QDir().mkpath(Q(dir / "folder with blank"));
  session.AddDroppedPaths({Q(dir / "a.txt"), Q(dir / "folder with blank"), Q(dir / "b.txt"),
                           Q(dir / "a.txt"), Q(dir / "missing.txt")});
  EXPECT_THAT(Paths(), ElementsAre(Q(dir / "a.txt"), Q(dir / "b.txt"), Q(dir / "missing.txt")));
  EXPECT_EQ(foldersOffered, QStringList{Q(dir / "folder with blank")});
  EXPECT_FALSE(state.JobSaved);
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(surface.panes["Static3"], "3 Items");
  EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(JobSessionTest, PathsThatAJobFileCannotHoldAreRefused) {
  session.AddDroppedPaths({"/tmp/say \"hi\".txt", "/tmp/two\nlines", "/tmp/fine.txt"});
  EXPECT_THAT(Paths(), ElementsAre("/tmp/fine.txt"));
  ASSERT_EQ(prompt.asked.size(), 2u);
  EXPECT_EQ(prompt.asked[0].title, "Error");
  EXPECT_EQ(prompt.asked[0].text, kUnstorablePath);
  EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Exclamation);
}

TEST_F(JobSessionTest, PathsAreComparedExactly) {
  session.AddDroppedPaths({"/tmp/Report.doc", "/tmp/report.doc"});
  EXPECT_EQ(model.size(), 2);
}

TEST_F(JobSessionTest, CommandLineOpensAJobOfTheJobsFolder) {
  ASSERT_TRUE(
      WriteWholeFile(state.JobPath("Weekly"), SerializeJob("N/A", {JobItem{"/w", "", "", ""}})));
  // The extension is recognised in any case; the name is the file's without it.
  EXPECT_TRUE(session.OpenJobFromCommandLine({state.JobsFolder() + "Weekly.CVJ"}));
  EXPECT_EQ(state.CurrentJobName, "Weekly");
  EXPECT_THAT(Paths(), ElementsAre("/w"));

  EXPECT_FALSE(session.OpenJobFromCommandLine({"/elsewhere/Weekly.cvj"}));
  EXPECT_FALSE(session.OpenJobFromCommandLine({state.JobsFolder() + "Weekly.txt"}));
  EXPECT_FALSE(session.OpenJobFromCommandLine({state.JobPath("Weekly"), "/x"}));
}

}  // namespace
}  // namespace corvane::testing
