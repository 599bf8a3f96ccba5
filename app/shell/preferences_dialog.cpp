#include "preferences_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "settings_store.h"

namespace corvane {
namespace {

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, int16_t value) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->setChecked(value == 1);
  return box;
}

int16_t Flag(const QCheckBox* box) {
  return box->isChecked() ? 1 : 0;
}

}  // namespace

PreferencesDialog::PreferencesDialog(QWidget* owner, AppState& state, Prompt& prompt,
                                     PreferencesActions& actions)
    : QDialog(owner), state_(state), prompt_(prompt), actions_(actions) {
  setObjectName("frmPreferences");
  setWindowTitle("Preferences");
  setFont(QFont("Tahoma", font().pointSize()));
  const SettingsRecord& s = state_.Settings;

  auto* image = new QLabel(this);
  image->setObjectName("Image1");
  image->setPixmap(QIcon::fromTheme("preferences-system").pixmap(32, 32));
  auto* intro = new QLabel(
      "This option allows you to define several default settings within Corvane.  Click a bold "
      "header item to change to that portion of preferences.  For help with these settings, "
      "select the Help button below.",
      this);
  intro->setObjectName("Label1");
  intro->setWordWrap(true);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName("TabStrip1");
  tabs_->addTab("Security Level");
  tabs_->addTab("Settings");
  tabs_->addTab("Explorer Manager");

  // Security level.
  panels_[0] = new QWidget(this);
  panels_[0]->setObjectName("picSecurity");
  auto* security = new QGroupBox("Wipe Security", panels_[0]);
  opt3_ = new QRadioButton("Level 3 Wiping (equal to 9 data writes per byte) - Strong Security");
  opt3_->setObjectName("opt3");
  opt5_ = new QRadioButton("Level 5 Wiping (equal to 15 data writes per byte) - Stronger Security");
  opt5_->setObjectName("opt5");
  opt7_ =
      new QRadioButton("Level 7 Wiping (equal to 21 data writes per byte) - Strongest Security");
  opt7_->setObjectName("opt7");
  auto* security_layout = new QVBoxLayout(security);
  for (QRadioButton* option : {opt3_, opt5_, opt7_}) security_layout->addWidget(option);
  (s.WipePasses == 3 ? opt3_ : s.WipePasses == 5 ? opt5_ : opt7_)->setChecked(true);
  (new QVBoxLayout(panels_[0]))->addWidget(security);

  // Other settings.
  panels_[1] = new QWidget(this);
  panels_[1]->setObjectName("picSettings");
  auto* other = new QGroupBox("Other Settings && Environment", panels_[1]);
  progress_bars_ =
      Check(other, "chkProgressBars", "Use Progress Bar Visual Styles", s.ProgressBarVisualStyles);
  tool_bars_ =
      Check(other, "chkToolBars", "Use Menu Visual Styles (XP or higher)", s.MenuVisualStyles);
  grid_lines_ = Check(other, "chkGridLines", "Display Gridlines in Corvane Bin", s.ShowGridLines);
  maximize_ = Check(other, "chkMaximize", "Maximize Window at Startup", s.MaximizeAtStart);
  prompt_to_save_ = Check(other, "chkPrompt", "Prompt to Save Corvane Jobs", s.PromptToSave);
  size_ = new QComboBox(other);
  size_->setObjectName("cboSize");
  size_->addItems({"8", "10", "12"});
  size_->setCurrentIndex(s.ReportFontSize == 8 ? 0 : s.ReportFontSize == 10 ? 1 : 2);
  auto* other_layout = new QVBoxLayout(other);
  for (QCheckBox* box : {progress_bars_, tool_bars_, grid_lines_, maximize_, prompt_to_save_}) {
    other_layout->addWidget(box);
  }
  auto* size_row = new QHBoxLayout;
  size_row->addWidget(new QLabel("Report Font Size", other));
  size_row->addWidget(size_);
  size_row->addStretch();
  other_layout->addLayout(size_row);
  (new QVBoxLayout(panels_[1]))->addWidget(other);

  // Explorer Manager.
  panels_[2] = new QWidget(this);
  panels_[2]->setObjectName("picExplorer");
  auto* explorer = new QGroupBox("Explorer Manager", panels_[2]);
  manager_ = Check(explorer, "chkManager", "Load Explorer Manager at System Startup",
                   s.LoadManagerAtStartup);
  auto* about = new QLabel(
      "The Corvane Explorer Manager allows you to integrate Corvane with the Windows System.  The "
      "Explorer Manager will add an option on the Windows Explorer right click menu to allow "
      "quick wiping, as well as integrating itself with the Windows Recycle Bin, allowing you to "
      "wipe the contents of the system Recycle Bin.",
      explorer);
  about->setWordWrap(true);
  auto* explorer_layout = new QVBoxLayout(explorer);
  explorer_layout->addWidget(manager_);
  explorer_layout->addWidget(about);
  (new QVBoxLayout(panels_[2]))->addWidget(explorer);
  manager_was_enabled_ = manager_->isChecked();

  auto* ok = new QPushButton("&OK", this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("cmdCancel");
  auto* help = new QPushButton("&Help", this);
  help->setObjectName("cmdHelp");

  auto* header = new QHBoxLayout;
  header->addWidget(image, 0, Qt::AlignTop);
  header->addWidget(intro, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(header);
  layout->addWidget(tabs_);
  for (QWidget* panel : panels_) layout->addWidget(panel);
  layout->addLayout(buttons);
  ShowTab(0);

  connect(tabs_, &QTabBar::currentChanged, this, &PreferencesDialog::ShowTab);
  connect(manager_, &QCheckBox::clicked, this, &PreferencesDialog::ManagerClicked);
  connect(ok, &QPushButton::clicked, this, &PreferencesDialog::Confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { actions_.ShowHelpTopic(11); });
}

void PreferencesDialog::ShowTab(int index) {
  for (int i = 0; i < 3; ++i) panels_[i]->setVisible(i == index);
  if (tabs_->currentIndex() != index) tabs_->setCurrentIndex(index);
}

void PreferencesDialog::ManagerClicked() {
  if (manager_->isChecked() || !manager_was_enabled_) return;
  if (prompt_.Ask(this, "Explorer Manager", kRemoveManagerQuestion, PromptIcon::Question,
                  PromptButtons::OkCancel) != PromptAnswer::Ok) {
    manager_->setChecked(true);
  }
}

void PreferencesDialog::Confirm() {
  SettingsRecord& s = state_.Settings;
  s.ShowGridLines = Flag(grid_lines_);
  actions_.ApplyGridLines(s.ShowGridLines == 1);
  s.MaximizeAtStart = Flag(maximize_);
  s.PromptToSave = Flag(prompt_to_save_);
  s.LoadManagerAtStartup = Flag(manager_);
  s.ReportFontSize = static_cast<int16_t>(size_->currentText().toInt());
  s.ProgressBarVisualStyles = Flag(progress_bars_);
  s.MenuVisualStyles = Flag(tool_bars_);
  actions_.ApplyMenuVisualStyles(s.MenuVisualStyles == 1);
  s.WipePasses = opt3_->isChecked() ? 3 : opt5_->isChecked() ? 5 : 7;
  SaveSettingsRecord(state_.AppFolder, s);  // a failure keeps the settings for this run
  if (!manager_->isChecked() && manager_was_enabled_) {
    actions_.RemoveManagerFromStartup();
    actions_.CloseManager();
  }
  if (manager_->isChecked() && !manager_was_enabled_) {
    actions_.AddManagerToStartup();
    actions_.OfferManagerLaunch();
  }
  accept();
}

}  // namespace corvane
