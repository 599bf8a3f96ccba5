// frmMain: the main window. Its menus, tool bar and status bar are named tools
// (CommandBars); one dispatcher receives every click. It holds the job list
// and the shredder control PGW1, loads the settings at start and saves them at
// the end.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

#include "app_state.h"
#include "autostart.h"
#include "command_bars.h"
#include "job_model.h"
#include "job_session.h"
#include "preferences_dialog.h"
#include "prompt.h"

class QTableView;

namespace purgewell {
class CPurgewellCtrl;
}

namespace corvane {

class QtHostExecutor;

// What the main window takes from the world it runs in.
struct MainWindowEnvironment {
  QString programFolder;  // the folder of the program file
  QString dataHome;       // where data go when the program folder cannot be written
  RunEntry runEntry;      // the Explorer Manager's autostart entry
  std::function<bool()> anotherCopyRuns = [] { return false; };
  std::function<void(const QUrl&)> openUrl;  // default: the desktop's browser
};

class MainWindow final : public QMainWindow, public PreferencesActions {
  Q_OBJECT

 public:
  MainWindow(AppState& state, Prompt& prompt, MainWindowEnvironment environment);
  ~MainWindow() override;

  // The load steps: settings, window rectangle, layout, job state, command line.
  // Returns false when another copy runs (the window then closes, saving nothing).
  bool Load(const QStringList& arguments);

  // The welcome window, at the first activation of a first run.
  void OnActivated();

  void OnToolClick(const QString& name);
  void OnMenuPopup(const QString& name);
  void OnClientAreaChanged(const QRect& twips);
  void RestoreWindowRect();
  void LoadLayout();
  void SaveLayout();
  void OpenWebPage();

  // The steps of closing the window; false when the close was refused.
  bool Shutdown();

  CommandBars& bars() { return *bars_; }
  JobModel& model() { return *model_; }
  JobSession& session() { return *session_; }
  QTableView* list() const { return list_; }
  purgewell::CPurgewellCtrl& control() { return *pgw1_; }
  int SelectedRow() const;
  void SelectRow(int row);
  bool showWelcome() const { return show_welcome_; }
  bool jobFromCommandLine() const { return job_from_command_line_; }

  // PreferencesActions.
  void ApplyGridLines(bool on) override;
  void ApplyMenuVisualStyles(bool on) override;
  void AddManagerToStartup() override;
  void RemoveManagerFromStartup() override;
  void OfferManagerLaunch() override;
  void CloseManager() override;
  void ShowHelpTopic(int topic) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTools();
  void BuildList();
  void ShowPreferences();
  void SaveJobCommand();
  void ToggleQuickWipeBin();
  void EditFolderItem();
  bool AskJobName();

  AppState& state_;
  Prompt& prompt_;
  MainWindowEnvironment environment_;
  CommandBars* bars_;
  JobModel* model_;
  QTableView* list_;
  std::unique_ptr<JobSession> session_;
  std::shared_ptr<QtHostExecutor> executor_;
  std::unique_ptr<purgewell::CPurgewellCtrl> pgw1_;
  std::map<QString, std::function<void()>> dispatch_;
  bool show_welcome_ = false;
  bool job_from_command_line_ = false;
  bool shut_down_ = false;
};

// The product's web page.
inline const char* kWebPage = "https://corvane.app/";

}  // namespace corvane
