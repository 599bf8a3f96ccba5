#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QUrl>
#include <limits>

#include "data_files.h"
#include "job_rows.h"
#include "purgewell_ctrl.h"
#include "qt_host_executor.h"
#include "save_dialog.h"
#include "settings_store.h"
#include "startup_windows.h"

namespace corvane {
namespace {

// The images the tools name, from the desktop's icon theme, with a drawn
// fallback of our own where the theme has none.
QIcon ToolImage(const QString& image) {
  static const std::map<QString, QString> kTheme = {
      {"newsmall", "document-new"},        {"newlarge", "document-new"},
      {"opensmall", "document-open"},      {"openlarge", "document-open"},
      {"savesmall", "document-save"},      {"savelarge", "document-save"},
      {"report", "x-office-document"},     {"MainSmall", "edit-delete"},
      {"MainLarge", "edit-delete"},        {"addfilessmall", "list-add"},
      {"addfileslarge", "list-add"},       {"addfoldersmall", "folder-new"},
      {"addfolderlarge", "folder-new"},    {"delete", "list-remove"},
      {"wipspacesmall", "drive-harddisk"}, {"wipespacelarge", "drive-harddisk"},
      {"helpcontents", "help-contents"},
  };
  const auto it = kTheme.find(image);
  QPixmap drawn(32, 32);
  drawn.fill(Qt::transparent);
  QPainter painter(&drawn);
  painter.setBrush(QColor(60, 110, 170));
  painter.setPen(QColor(30, 60, 100));
  painter.drawRoundedRect(2, 2, 28, 28, 5, 5);
  painter.setPen(Qt::white);
  painter.drawText(drawn.rect(), Qt::AlignCenter, image.left(1).toUpper());
  if (it == kTheme.end()) return QIcon(drawn);
  // Desktops with only symbolic icons (Adwaita) have the "-symbolic" forms.
  return QIcon::fromTheme(it->second, QIcon::fromTheme(it->second + "-symbolic", QIcon(drawn)));
}

int16_t ToTwips16(int pixels, int dpi, bool& fits) {
  const long twips = static_cast<long>(PixelsToTwips(pixels, dpi));
  if (twips < std::numeric_limits<int16_t>::min() || twips > std::numeric_limits<int16_t>::max()) {
    fits = false;
  }
  return static_cast<int16_t>(twips);
}

}  // namespace

MainWindow::MainWindow(AppState& state, Prompt& prompt, MainWindowEnvironment environment)
    : state_(state), prompt_(prompt), environment_(std::move(environment)) {
  setObjectName("frmMain");
  setWindowTitle("Corvane");
  bars_ = new CommandBars(this);
  model_ = new JobModel(this);
  BuildTools();
  BuildList();
  session_ = std::make_unique<JobSession>(
      state_, *model_, *bars_, prompt_, this,
      JobSession::Seams{[this] { return SelectedRow(); }, [this](int row) { SelectRow(row); },
                        [this] { return AskJobName(); }, nullptr});
  executor_ = std::make_shared<QtHostExecutor>();
  pgw1_ = std::make_unique<purgewell::CPurgewellCtrl>(executor_);

  connect(bars_, &CommandBars::toolClick, this, &MainWindow::OnToolClick);
  connect(bars_, &CommandBars::menuPopup, this, &MainWindow::OnMenuPopup);
  connect(bars_, &CommandBars::clientAreaChanged, this, &MainWindow::OnClientAreaChanged);

  dispatch_ = {
      {"NewJob", [] {}},
      {"mnuFileNew", [] {}},
      {"OpenJob", [] {}},
      {"mnuFileOpen", [] {}},
      {"SaveJob", [this] { SaveJobCommand(); }},
      {"mnuFileSave", [this] { SaveJobCommand(); }},
      {"mnuFileClose", [this] { session_->CloseCurrentJob(); }},
      {"mnuFileDelete", [] {}},
      {"mnuFileView", [] {}},
      {"mnuFilePreferences", [this] { ShowPreferences(); }},
      {"mnuFileLaunch", [] {}},
      {"mnuFileQuickWipeBin", [this] { ToggleQuickWipeBin(); }},
      {"mnuFileExit", [this] { close(); }},
      {"AddFiles", [this] { session_->UpdateJobCommands(); }},
      {"mnuActionsAddFiles", [this] { session_->UpdateJobCommands(); }},
      {"AddFolder", [this] { session_->UpdateJobCommands(); }},
      {"mnuActionsAddFolder", [this] { session_->UpdateJobCommands(); }},
      {"mnuActionsRemove", [this] { session_->UpdateJobCommands(); }},
      {"mnuActionsEdit", [this] { EditFolderItem(); }},
      {"WipeFreeSpace", [] {}},
      {"mnuActionsWipeFreeSpace", [] {}},
      {"WipeNow", [] {}},
      {"mnuActionsWipeNow", [] {}},
      {"mnuHelpContents", [] {}},
      {"mnuHelpWebPage", [this] { OpenWebPage(); }},
      {"mnuHelpAbout", [] {}},
  };
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildTools() {
  QMenu* file = bars_->AddMenu("mnuFile", "&File");
  bars_->AddMenuTool(file, "mnuFileNew", "&New Wiping Job", ToolImage("newsmall"));
  bars_->AddMenuTool(file, "mnuFileOpen", "&Open Wiping Job...", ToolImage("opensmall"));
  bars_->AddMenuTool(file, "mnuFileSave", "&Save Wiping Job", ToolImage("savesmall"));
  bars_->AddMenuTool(file, "mnuFileClose", "&Close Wiping Job");
  bars_->AddMenuTool(file, "mnuFileDelete", "&Delete Open Job");
  file->addSeparator();
  bars_->AddMenuTool(file, "mnuFileView", "&View Last Report...", ToolImage("report"));
  bars_->AddMenuTool(file, "mnuFilePreferences", "&Preferences...");
  file->addSeparator();
  bars_->AddMenuTool(file, "mnuFileLaunch", "&Launch Explorer Manager");
  bars_->AddMenuTool(file, "mnuFileQuickWipeBin", "&QuickWipe Bin", ToolImage("MainSmall"))
      ->setCheckable(true);
  file->addSeparator();
  bars_->AddMenuTool(file, "mnuFileExit", "E&xit Corvane");

  QMenu* actions = bars_->AddMenu("mnuActions", "&Actions");
  bars_->AddMenuTool(actions, "mnuActionsAddFiles", "Add F&iles...", ToolImage("addfilessmall"));
  bars_->AddMenuTool(actions, "mnuActionsAddFolder", "Add F&older...", ToolImage("addfoldersmall"));
  bars_->AddMenuTool(actions, "mnuActionsRemove", "&Remove Selected Item", ToolImage("delete"));
  bars_->AddMenuTool(actions, "mnuActionsEdit", "&Edit Folder Item...");
  actions->addSeparator();
  bars_->AddMenuTool(actions, "mnuActionsWipeFreeSpace", "Wipe &Free Space...",
                     ToolImage("wipspacesmall"));
  bars_->AddMenuTool(actions, "mnuActionsWipeNow", "&Wipe Now", ToolImage("MainSmall"));

  QMenu* help = bars_->AddMenu("mnuHelp", "&Help");
  bars_->AddMenuTool(help, "mnuHelpContents", "&Contents", ToolImage("helpcontents"))
      ->setShortcut(QKeySequence(Qt::Key_F1));
  bars_->AddMenuTool(help, "mnuHelpWebPage", "Corvane &Web Page");
  bars_->AddMenuTool(help, "mnuHelpAbout", "&About Corvane");

  bars_->AddBarTool("NewJob", "New Job", ToolImage("newlarge"));
  bars_->AddBarTool("OpenJob", "Open Job", ToolImage("openlarge"));
  bars_->AddBarTool("SaveJob", "Save Job", ToolImage("savelarge"));
  bars_->AddBarTool("AddFiles", "Add Files", ToolImage("addfileslarge"));
  bars_->AddBarTool("AddFolder", "Add Folder", ToolImage("addfolderlarge"));
  bars_->AddBarTool("WipeNow", "Wipe Now", ToolImage("MainLarge"));
  bars_->AddBarTool("WipeFreeSpace", "Wipe Free Space", ToolImage("wipespacelarge"));

  bars_->AddPane("Static1", "Press F1 for Help");
  bars_->AddPane("Static2", "");
  bars_->AddPane("Static3", "0 Items");
}

void MainWindow::BuildList() {
  list_ = new QTableView(bars_->clientArea());
  list_->setObjectName("ListView1");
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setShowGrid(false);
  list_->setWordWrap(false);
  list_->setIconSize(QSize(16, 16));
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->viewport()->installEventFilter(this);
  connect(list_, &QTableView::doubleClicked, this, [this] { EditFolderItem(); });
}

int MainWindow::SelectedRow() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void MainWindow::SelectRow(int row) {
  if (row < 0 || row >= model_->size()) return;
  list_->selectRow(row);
}

bool MainWindow::Load(const QStringList& arguments) {
  if (environment_.anotherCopyRuns()) {
    state_.DuplicateInstance = true;
    close();
    return false;
  }
  state_.DuplicateInstance = false;
  state_.AppFolder = ComputeAppFolder(environment_.programFolder, environment_.dataHome);
  const LoadedSettings loaded =
      LoadSettings(state_.AppFolder, ManagerRegistered(ReadRegistryString(environment_.runEntry)));
  state_.Settings = loaded.record;
  state_.Rect = loaded.rect;
  show_welcome_ = loaded.showWelcome;
  RestoreWindowRect();
  LoadLayout();
  if (state_.Settings.ShowGridLines == 1) list_->setShowGrid(true);
  if (state_.Settings.MaximizeAtStart == 1) setWindowState(windowState() | Qt::WindowMaximized);
  if (state_.Settings.MenuVisualStyles != 1) bars_->SetVisualStyles(false);
  state_.CurrentJobName.clear();
  state_.JobSaved = true;
  state_.JobLastRun = "N/A";
  EnsureDataFolders(state_.AppFolder);
  session_->UpdateJobCommands();
  if (!arguments.isEmpty()) {
    job_from_command_line_ = session_->OpenJobFromCommandLine(arguments);
    if (!job_from_command_line_) session_->AddPathsFromCommandLine(arguments);
  }
  return true;
}

void MainWindow::OnActivated() {
  if (!show_welcome_) return;
  show_welcome_ = false;
  WelcomeWindow welcome(this, state_.AppFolder);
  welcome.exec();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    // After the activation has been handled: the welcome is modal.
    QMetaObject::invokeMethod(this, &MainWindow::OnActivated, Qt::QueuedConnection);
  }
}

void MainWindow::OnToolClick(const QString& name) {
  const auto it = dispatch_.find(name);
  if (it != dispatch_.end()) it->second();
}

void MainWindow::OnMenuPopup(const QString& name) {
  if (name == "mnuFile") {
    // Finding the Explorer Manager's window comes with the manager's link; until
    // then the entry stays enabled.
    bars_->SetToolEnabled("mnuFileLaunch", !state_.ManagerWindowFound);
  } else if (name == "mnuActions") {
    session_->UpdateEditCommand();
  }
}

void MainWindow::OnClientAreaChanged(const QRect& twips) {
  const int dpi = logicalDpiX();
  list_->setGeometry(TwipsToPixels(twips.x(), dpi), TwipsToPixels(twips.y(), dpi),
                     TwipsToPixels(twips.width(), dpi), TwipsToPixels(twips.height(), dpi));
  const ColumnWidths widths = JobColumnWidths(PixelsToTwips(list_->width(), dpi));
  list_->setColumnWidth(JobModel::NameColumn, TwipsToPixels(widths.name, dpi));
  list_->setColumnWidth(JobModel::SizeColumn, TwipsToPixels(widths.size, dpi));
  list_->setColumnWidth(JobModel::MaskColumn, TwipsToPixels(widths.mask, dpi));
  list_->setColumnWidth(JobModel::SubFoldersColumn, TwipsToPixels(widths.subFolders, dpi));
}

void MainWindow::RestoreWindowRect() {
  if (state_.Settings.MaximizeAtStart == 1) return;
  const WindowRect& r = state_.Rect;
  if (r.allZero() || r.width() < 0) {
    setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(r.width(), dpi), TwipsToPixels(r.height(), dpi));
  move(TwipsToPixels(r.left(), dpi), TwipsToPixels(r.top(), dpi));
}

void MainWindow::LoadLayout() {
  const QString path = state_.AppFolder + "Corvane.dsl";
  if (QFileInfo::exists(path)) bars_->LoadLayout(path);
}

void MainWindow::SaveLayout() {
  bars_->SaveLayout(state_.AppFolder + "Corvane.dsl");
}

void MainWindow::OpenWebPage() {
  const QUrl url(kWebPage);
  if (environment_.openUrl) {
    environment_.openUrl(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

bool MainWindow::Shutdown() {
  state_.JobCommandCancelled = false;
  session_->CloseCurrentJob();
  if (state_.JobCommandCancelled) return false;
  if (state_.QuickBinBusy) return false;
  if (state_.Settings.MaximizeAtStart != 1) {
    if (isMaximized()) {
      state_.Rect = WindowRect{};
    } else {
      const int dpi = logicalDpiX();
      const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
      bool fits = true;
      WindowRect rect;
      rect.values = {ToTwips16(g.width(), dpi, fits), ToTwips16(g.height(), dpi, fits),
                     ToTwips16(g.x(), dpi, fits), ToTwips16(g.y(), dpi, fits)};
      // Beyond what 16 bits of twips hold: store zeros, the next start maximizes.
      state_.Rect = fits ? rect : WindowRect{};
    }
  }
  if (!state_.DuplicateInstance) {
    SaveSettingsRecord(state_.AppFolder, state_.Settings);
    SaveWindowRect(state_.AppFolder, state_.Rect);
    SaveLayout();
  }
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (shut_down_ || state_.DuplicateInstance) {
    event->accept();
    return;
  }
  if (!Shutdown()) {
    event->ignore();
    return;
  }
  shut_down_ = true;
  event->accept();
  // The whole process ends with the main window, every other window with it.
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    bars_->PopupMenu("mnuActions");  // wherever the pointer is, at the press
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ShowPreferences() {
  PreferencesDialog dialog(this, state_, prompt_, *this);
  dialog.exec();
}

bool MainWindow::AskJobName() {
  SaveJobDialog dialog(this, state_, prompt_);
  return dialog.exec() == QDialog::Accepted && !state_.CurrentJobName.isEmpty();
}

void MainWindow::SaveJobCommand() {
  if (state_.CurrentJobName.isEmpty()) {
    AskJobName();
    session_->WriteJobFile();
    session_->UpdateJobCommands();
  } else {
    session_->WriteJobFile();
  }
}

void MainWindow::ToggleQuickWipeBin() {
  if (state_.QuickBinBusy) {
    prompt_.Ask(this, "Operation",
                "An operation is currently being performed.  The QuickWipe Bin cannot be closed.",
                PromptIcon::Exclamation, PromptButtons::Ok);
    return;
  }
  if (state_.QuickBinOpen) {
    bars_->SetToolChecked("mnuFileQuickWipeBin", false);
    setWindowState(state_.MainStateBeforeBin == 2   ? Qt::WindowMaximized
                   : state_.MainStateBeforeBin == 1 ? Qt::WindowMinimized
                                                    : Qt::WindowNoState);
    state_.QuickBinOpen = false;
  } else {
    bars_->SetToolChecked("mnuFileQuickWipeBin", true);
    state_.MainStateBeforeBin = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    setWindowState(Qt::WindowMinimized);
    state_.QuickBinOpen = true;  // the bin window's own opening sets this once it exists
  }
}

void MainWindow::EditFolderItem() {
  // The Add Folder dialog edits folder items; until it exists only the rule of
  // when editing applies is kept.
  if (!EditCommandEnabled(*model_, SelectedRow())) return;
}

void MainWindow::ApplyGridLines(bool on) {
  list_->setShowGrid(on);
}
void MainWindow::ApplyMenuVisualStyles(bool on) {
  bars_->SetVisualStyles(on);
}
void MainWindow::AddManagerToStartup() {
  corvane::AddManagerToStartup(environment_.runEntry, state_.AppFolder);
}
void MainWindow::RemoveManagerFromStartup() {
  corvane::RemoveManagerFromStartup(environment_.runEntry);
}
void MainWindow::OfferManagerLaunch() {}
void MainWindow::CloseManager() {}
void MainWindow::ShowHelpTopic(int) {}

}  // namespace corvane
