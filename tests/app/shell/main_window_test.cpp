// The main window: start-up and shutdown, the command line, the tools and the
// dispatcher, the window rectangle and the bar layout.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QToolBar>

#include "app_test_support.h"
#include "data_files.h"
#include "events.h"
#include "job_file.h"
#include "job_rows.h"
#include "purgewell_ctrl.h"
#include "settings_store.h"
#include "startup_windows.h"

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;

class MainWindowTest : public ::testing::Test {
 protected:
  QString App(const QString& name) const { return rig.appFolder() + name; }
  // Settings files as an earlier run left them, with this window rectangle.
  void StoreEarlierRun(std::array<int16_t, 4> values, SettingsRecord record = {}) {
    QDir().mkpath(rig.appFolder());
    WindowRect rect;
    rect.values = values;
    ASSERT_TRUE(SaveSettingsRecord(rig.appFolder(), record));
    ASSERT_TRUE(SaveWindowRect(rig.appFolder(), rect));
  }
  TempDir dir;
  MainWindowRig rig{dir};
};

TEST_F(MainWindowTest, FirstRunShowsTheWelcomeOnceAndRemembersIt) {
  ASSERT_TRUE(rig.window->Load({}));
  EXPECT_TRUE(rig.window->showWelcome());
  QStringList seen;
  OnNextDialog([&](QDialog* dialog) {
    seen << dialog->objectName() << dialog->windowTitle();
    for (int i = 1; i <= 5; ++i) {
      if (auto* label = dialog->findChild<QLabel*>(QString("Label%1").arg(i)))
        seen << label->text();
    }
    dialog->accept();
  });
  rig.window->OnActivated();
  ASSERT_GE(seen.size(), 7);
  EXPECT_EQ(seen[0], "frmWelcome");
  EXPECT_EQ(seen[1], "Welcome to Corvane");
  EXPECT_EQ(seen[2], "Important Information about Corvane from Brannoch Inc.");
  EXPECT_TRUE(seen[3].contains(QString::fromUtf8("\u201cwiped\u201d files are not recoverable")));
  EXPECT_TRUE(QFile::exists(App("sfrun.dat")));
  EXPECT_FALSE(rig.window->showWelcome());
  rig.window->OnActivated();  // later activations show nothing (no dialog to answer)

  MainWindowRig second(dir);
  ASSERT_TRUE(second.window->Load({}));
  EXPECT_FALSE(second.window->showWelcome());
}

TEST_F(MainWindowTest, SecondCopyEndsAndWritesNothing) {
  MainWindowRig duplicate(dir, /*anotherCopy=*/true);
  EXPECT_FALSE(duplicate.window->Load({}));
  EXPECT_TRUE(duplicate.state.DuplicateInstance);
  duplicate.window->close();
  EXPECT_TRUE(
      QDir(duplicate.appFolder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(MainWindowTest, FreshStartWritesTheDefaultsAndOpensMaximized) {
  ASSERT_TRUE(rig.window->Load({}));
  EXPECT_EQ(ReadWholeFile(App("Settings.dat"))->size(), 322);
  EXPECT_EQ(ReadWholeFile(App("Settings2.dat")), QByteArray(8, '\0'));
  EXPECT_TRUE(rig.window->windowState() & Qt::WindowMaximized);
  EXPECT_TRUE(QDir(App("Jobs")).exists());
  EXPECT_TRUE(QDir(App("Report")).exists());
  EXPECT_EQ(rig.state.JobLastRun, "N/A");
  EXPECT_TRUE(rig.state.JobSaved);
  EXPECT_EQ(rig.window->bars().PaneText("Static1"), "Press F1 for Help");
  EXPECT_EQ(rig.window->bars().PaneText("Static3"), "0 Items");
  EXPECT_FALSE(rig.window->bars().Tool("WipeNow")->isEnabled());
  EXPECT_TRUE(rig.window->bars().Tool("NewJob")->isEnabled());
}

TEST_F(MainWindowTest, ClosingWhileMaximizedStoresFourZeros) {
  StoreEarlierRun({9000, 6000, 150, 300});
  ASSERT_TRUE(rig.window->Load({}));
  EXPECT_FALSE(rig.window->windowState() & Qt::WindowMaximized);
  rig.window->setWindowState(Qt::WindowMaximized);
  ASSERT_TRUE(rig.window->Shutdown());
  EXPECT_EQ(ReadWholeFile(App("Settings2.dat")), QByteArray(8, '\0'));
  EXPECT_TRUE(QFile::exists(App("Corvane.dsl")));
}

TEST_F(MainWindowTest, NormalWindowStoresItsRectangleInTwips) {
  StoreEarlierRun({9000, 6000, 150, 300});
  ASSERT_TRUE(rig.window->Load({}));
  const int dpi = rig.window->logicalDpiX();
  EXPECT_EQ(rig.window->width(), TwipsToPixels(9000, dpi));
  rig.window->resize(700, 500);
  ASSERT_TRUE(rig.window->Shutdown());
  const WindowRect stored = WindowRect::Parse(*ReadWholeFile(App("Settings2.dat")));
  EXPECT_EQ(stored.width(), PixelsToTwips(700, dpi));
  EXPECT_EQ(stored.height(), PixelsToTwips(500, dpi));
}

TEST_F(MainWindowTest, NegativeStoredWidthOpensMaximized) {
  StoreEarlierRun({-1, 6000, 150, 300});
  ASSERT_TRUE(rig.window->Load({}));
  EXPECT_TRUE(rig.window->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, CancelInTheSaveOfferKeepsTheWindowOpenAndWritesNothing) {
  ASSERT_TRUE(rig.window->Load({}));
  rig.window->show();
  rig.window->session().AddDroppedPaths({"/tmp/some file.txt"});
  const QByteArray settings = *ReadWholeFile(App("Settings.dat"));
  rig.prompt.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(rig.window->close());
  EXPECT_TRUE(rig.window->isVisible());
  EXPECT_FALSE(QFile::exists(App("Corvane.dsl")));
  EXPECT_EQ(*ReadWholeFile(App("Settings.dat")), settings);
  EXPECT_EQ(rig.window->model().size(), 1);
}

TEST_F(MainWindowTest, BusyQuickWipeBinRefusesTheCloseSilently) {
  ASSERT_TRUE(rig.window->Load({}));
  rig.state.QuickBinBusy = true;
  EXPECT_FALSE(rig.window->Shutdown());
  EXPECT_TRUE(rig.prompt.asked.empty());
  rig.state.QuickBinBusy = false;
  EXPECT_TRUE(rig.window->Shutdown());
}

TEST_F(MainWindowTest, CommandLineOpensAJobFileOfTheJobsFolder) {
  QDir().mkpath(App("Jobs"));
  ASSERT_TRUE(WriteWholeFile(App("Jobs/Weekly.cvj"),
                             SerializeJob("N/A", {JobItem{"/data/w.txt", "", "", ""}})));
  ASSERT_TRUE(rig.window->Load({App("Jobs/Weekly.cvj")}));
  EXPECT_TRUE(rig.window->jobFromCommandLine());
  EXPECT_EQ(rig.state.CurrentJobName, "Weekly");
  EXPECT_EQ(rig.window->bars().PaneText("Static2"), "Job: Weekly");
  ASSERT_EQ(rig.window->model().size(), 1);
  EXPECT_EQ(rig.window->model().row(0).Path, "/data/w.txt");
}

TEST_F(MainWindowTest, OtherCommandLinesAreAddedAsPathsOnceEach) {
  purgewell::testing::WriteFile(dir / "elsewhere.cvj",
                                "\"N/A\"\r\n\"[FOLDERS]\"\r\n\"[FILES]\"\r\n");
  purgewell::testing::WriteFile(dir / "a.txt", "a");
  QDir().mkpath(Q(dir / "a folder"));
  ASSERT_TRUE(rig.window->Load(
      {Q(dir / "elsewhere.cvj"), Q(dir / "a folder"), Q(dir / "a.txt"), "", Q(dir / "a.txt")}));
  EXPECT_FALSE(rig.window->jobFromCommandLine());
  std::vector<QString> paths;
  for (const JobItem& row : rig.window->model().rows()) paths.push_back(row.Path);
  EXPECT_THAT(paths, ElementsAre(Q(dir / "elsewhere.cvj"), Q(dir / "a.txt")));
  EXPECT_FALSE(rig.state.JobSaved);
  EXPECT_EQ(rig.window->SelectedRow(), 0);
  EXPECT_EQ(rig.window->bars().PaneText("Static3"), "2 Items");
  EXPECT_TRUE(rig.window->bars().Tool("WipeNow")->isEnabled());
}

TEST_F(MainWindowTest, ToolsCarryTheirCaptionsInOrder) {
  auto captions = [&](QWidget* owner) {
    QStringList out;
    for (QAction* action : owner->actions()) {
      if (!action->isSeparator()) out << action->objectName() + "=" + action->text();
    }
    return out;
  };
  EXPECT_EQ(
      captions(rig.window->bars().Menu("mnuFile")),
      (QStringList{"mnuFileNew=&New Wiping Job", "mnuFileOpen=&Open Wiping Job...",
                   "mnuFileSave=&Save Wiping Job", "mnuFileClose=&Close Wiping Job",
                   "mnuFileDelete=&Delete Open Job", "mnuFileView=&View Last Report...",
                   "mnuFilePreferences=&Preferences...", "mnuFileLaunch=&Launch Explorer Manager",
                   "mnuFileQuickWipeBin=&QuickWipe Bin", "mnuFileExit=E&xit Corvane"}));
  EXPECT_EQ(
      captions(rig.window->bars().Menu("mnuActions")),
      (QStringList{"mnuActionsAddFiles=Add F&iles...", "mnuActionsAddFolder=Add F&older...",
                   "mnuActionsRemove=&Remove Selected Item", "mnuActionsEdit=&Edit Folder Item...",
                   "mnuActionsWipeFreeSpace=Wipe &Free Space...", "mnuActionsWipeNow=&Wipe Now"}));
  EXPECT_EQ(captions(rig.window->bars().Menu("mnuHelp")),
            (QStringList{"mnuHelpContents=&Contents", "mnuHelpWebPage=Corvane &Web Page",
                         "mnuHelpAbout=&About Corvane"}));
  EXPECT_EQ(
      captions(rig.window->findChild<QToolBar*>("ToolBar1")),
      (QStringList{"NewJob=New Job", "OpenJob=Open Job", "SaveJob=Save Job", "AddFiles=Add Files",
                   "AddFolder=Add Folder", "WipeNow=Wipe Now", "WipeFreeSpace=Wipe Free Space"}));
  EXPECT_EQ(rig.window->bars().Tool("mnuHelpContents")->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(rig.window->windowTitle(), "Corvane");
}

TEST_F(MainWindowTest, DispatcherIgnoresUnknownAndDifferentlyCasedNames) {
  ASSERT_TRUE(rig.window->Load({}));
  rig.window->session().AddDroppedPaths({"/tmp/x"});
  rig.state.Settings.PromptToSave = 0;
  for (const char* name : {"mnuFile", "mnufileclose", "MNUFILECLOSE", "Nothing", ""}) {
    rig.window->OnToolClick(name);
    EXPECT_EQ(rig.window->model().size(), 1) << name;
  }
  rig.window->OnToolClick("mnuFileClose");
  EXPECT_EQ(rig.window->model().size(), 0);
  rig.window->OnToolClick("mnuHelpWebPage");
  EXPECT_EQ(rig.opened, QStringList{kWebPage});
}

TEST_F(MainWindowTest, EditIsEnabledWhenTheActionsMenuOpensOverAFolderRow) {
  ASSERT_TRUE(rig.window->Load({}));
  AddFolderRow(rig.window->model(), "/data", "*.*", "Yes");
  AddFileRow(rig.window->model(), "/data/file.txt");
  rig.window->SelectRow(1);
  rig.window->OnMenuPopup("mnuActions");
  EXPECT_FALSE(rig.window->bars().Tool("mnuActionsEdit")->isEnabled());
  rig.window->SelectRow(0);
  rig.window->OnMenuPopup("mnuActions");
  EXPECT_TRUE(rig.window->bars().Tool("mnuActionsEdit")->isEnabled());
}

TEST_F(MainWindowTest, ListFillsTheClientAreaWithItsColumnShares) {
  const int dpi = rig.window->logicalDpiX();
  rig.window->OnClientAreaChanged(QRect(0, 0, PixelsToTwips(1000, dpi), PixelsToTwips(300, dpi)));
  QTableView* list = rig.window->list();
  EXPECT_EQ(list->width(), 1000);
  const ColumnWidths twips = JobColumnWidths(PixelsToTwips(1000, dpi));
  EXPECT_EQ(list->columnWidth(0), TwipsToPixels(twips.name, dpi));
  EXPECT_EQ(list->columnWidth(1), TwipsToPixels(twips.size, dpi));
  EXPECT_EQ(list->columnWidth(3), TwipsToPixels(twips.subFolders, dpi));
}

TEST_F(MainWindowTest, QuickWipeBinToggleRestoresTheWindowState) {
  ASSERT_TRUE(rig.window->Load({}));
  rig.window->setWindowState(Qt::WindowMaximized);
  rig.window->OnToolClick("mnuFileQuickWipeBin");
  EXPECT_TRUE(rig.state.QuickBinOpen);
  EXPECT_EQ(rig.state.MainStateBeforeBin, 2);
  EXPECT_TRUE(rig.window->windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(rig.window->bars().Tool("mnuFileQuickWipeBin")->isChecked());

  rig.state.QuickBinBusy = true;
  rig.window->OnToolClick("mnuFileQuickWipeBin");
  ASSERT_EQ(rig.prompt.asked.size(), 1u);
  EXPECT_EQ(rig.prompt.asked[0].title, "Operation");
  EXPECT_TRUE(rig.state.QuickBinOpen);

  rig.state.QuickBinBusy = false;
  rig.window->OnToolClick("mnuFileQuickWipeBin");
  EXPECT_FALSE(rig.state.QuickBinOpen);
  EXPECT_TRUE(rig.window->windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(rig.window->bars().Tool("mnuFileQuickWipeBin")->isChecked());
}

TEST_F(MainWindowTest, LayoutFileRoundTripsAndADamagedOneIsIgnored) {
  ASSERT_TRUE(rig.window->Load({}));
  rig.window->SaveLayout();
  const auto saved = ReadWholeFile(App("Corvane.dsl"));
  ASSERT_TRUE(saved);
  EXPECT_TRUE(rig.window->bars().LoadLayout(App("Corvane.dsl")));
  ASSERT_TRUE(WriteWholeFile(App("Corvane.dsl"), "not a layout"));
  rig.window->LoadLayout();  // no message, the built-in layout stays
  EXPECT_TRUE(rig.prompt.asked.empty());
}

TEST_F(MainWindowTest, MenuStylePreferenceIsAppliedAtLoad) {
  QDir().mkpath(rig.appFolder());
  SettingsRecord record;
  record.MenuVisualStyles = 0;
  record.ShowGridLines = 1;
  ASSERT_TRUE(SaveSettingsRecord(rig.appFolder(), record));
  ASSERT_TRUE(rig.window->Load({}));
  EXPECT_FALSE(rig.window->bars().visualStyles());
  EXPECT_TRUE(rig.window->list()->showGrid());
  rig.window->ApplyMenuVisualStyles(true);
  EXPECT_TRUE(rig.window->bars().visualStyles());
}

TEST_F(MainWindowTest, ShredderEventsArriveOnTheWindowsThread) {
  ASSERT_TRUE(rig.window->Load({}));
  struct Log : purgewell::PurgewellEventHandler {
    QStringList names;
    std::vector<QThread*> threads;
    void OnFileDeleted(const std::string& file) override {
      names << QString::fromStdString(file);
      threads.push_back(QThread::currentThread());
    }
  } log;
  rig.window->control().Advise(&log);
  purgewell::testing::WriteFile(dir / "victim.txt", std::string(100000, 'v'));
  EXPECT_TRUE(rig.window->control().DeleteFile(dir / "victim.txt", 1));
  EXPECT_EQ(log.names, QStringList{Q(dir / "victim.txt")});
  ASSERT_EQ(log.threads.size(), 1u);
  EXPECT_EQ(log.threads[0], QThread::currentThread());
  EXPECT_FALSE(QFile::exists(Q(dir / "victim.txt")));
}

TEST_F(MainWindowTest, AsynchronousEventsArriveThroughTheEventLoop) {
  ASSERT_TRUE(rig.window->Load({}));
  struct Log : purgewell::PurgewellEventHandler {
    int deleted = 0;
    QThread* thread = nullptr;
    void OnFileDeleted(const std::string&) override {
      ++deleted;
      thread = QThread::currentThread();
    }
  } log;
  purgewell::CPurgewellCtrl& control = rig.window->control();
  control.Advise(&log);
  control.SetAsynchronous(-1);
  purgewell::testing::WriteFile(dir / "later.txt", "x");
  EXPECT_FALSE(control.DeleteFile(dir / "later.txt", 1));  // returns at once
  for (int i = 0; i < 500 && (control.IsBusy() || log.deleted == 0); ++i) {
    QTest::qWait(10);  // the event loop runs meanwhile
  }
  EXPECT_EQ(log.deleted, 1);
  EXPECT_EQ(log.thread, QThread::currentThread());
  EXPECT_FALSE(QFile::exists(Q(dir / "later.txt")));
  EXPECT_EQ(control.LastErrorNumber(), 0);
}

TEST_F(MainWindowTest, Screenshot) {
  StoreEarlierRun({14400, 7200, 0, 0});
  QFile(App("sfrun.dat")).open(QIODevice::WriteOnly);
  ASSERT_TRUE(rig.window->Load({}));
  AddFolderRow(rig.window->model(), "/home/user/Documents", "*.doc", "Yes");
  AddFileRow(rig.window->model(), "/home/user/secret.txt");
  rig.window->session().UpdateJobCommands();
  rig.window->show();
  QApplication::processEvents();
  const QString folder =
      qEnvironmentVariable("CORVANE_ARTIFACTS", QDir::currentPath() + "/artifacts");
  QDir().mkpath(folder);
  const QImage shot = rig.window->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(folder + "/main-window.png"));
  EXPECT_GT(shot.width(), 400);

  // The dialogs of this window, for a look at their layout.
  WelcomeWindow welcome(rig.window.get(), rig.appFolder());
  welcome.show();
  QApplication::processEvents();
  EXPECT_TRUE(welcome.grab().save(folder + "/welcome.png"));
  welcome.close();
  PreferencesDialog preferences(rig.window.get(), rig.state, rig.prompt, *rig.window);
  preferences.show();
  preferences.ShowTab(1);
  QApplication::processEvents();
  EXPECT_TRUE(preferences.grab().save(folder + "/preferences.png"));
  preferences.reject();
}

}  // namespace
}  // namespace corvane::testing

#include <QAbstractItemModelTester>

#include "instance_guard.h"

namespace corvane::testing {
namespace {

TEST_F(MainWindowTest, RightButtonOverTheListOpensTheActionsMenu) {
  ASSERT_TRUE(rig.window->Load({}));
  rig.window->show();
  QMenu* actions = rig.window->bars().Menu("mnuActions");
  QTest::mousePress(rig.window->list()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
  EXPECT_TRUE(actions->isVisible());
  actions->close();
}

TEST_F(MainWindowTest, AFolderNobodyCanWriteDoesNotStopTheProgram) {
  purgewell::testing::WriteFile(dir / "file", "x");
  MainWindowRig stuck(dir);
  stuck.environment.programFolder = Q(dir / "file/bin");
  stuck.environment.dataHome = Q(dir / "file/data");
  stuck.window = std::make_unique<MainWindow>(stuck.state, stuck.prompt, stuck.environment);
  ASSERT_TRUE(stuck.window->Load({}));
  EXPECT_EQ(stuck.state.Settings.WipePasses, 3);
  EXPECT_TRUE(stuck.window->Shutdown());
  EXPECT_TRUE(stuck.prompt.asked.empty());
}

TEST(InstanceGuardTest, OneCopyPerLock) {
  TempDir dir;
  const QString lock = Q(dir / "corvane.lock");
  auto first = std::make_unique<InstanceGuard>(lock);
  EXPECT_FALSE(first->AnotherCopyRuns());
  {
    InstanceGuard second(lock);
    EXPECT_TRUE(second.AnotherCopyRuns());
  }
  first.reset();
  InstanceGuard third(lock);
  EXPECT_FALSE(third.AnotherCopyRuns());
}

TEST(JobModelTest, ModelKeepsTheItemModelContract) {
  JobModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  AddFolderRow(model, "/data", "*.*", "Yes");
  AddFileRow(model, "/data/a.txt");
  model.SetMissing(1, true);
  model.RemoveAt(0);
  EXPECT_EQ(model.size(), 1);
  EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "/data/a.txt");
  EXPECT_TRUE(model.data(model.index(0, 0), Qt::ForegroundRole).isValid());  // dimmed
  EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name & Location");
  EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Sub Folders");
  model.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace corvane::testing
