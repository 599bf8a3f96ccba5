// frmPreferences: edits the settings record. Its OK writes Settings.dat, applies
// grid lines and the menu style at once, and registers or unregisters the
// Explorer Manager.
#pragma once

#include <QDialog>

#include "app_state.h"
#include "prompt.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QTabBar;

namespace corvane {

// What the dialog's OK does beyond the settings record.
class PreferencesActions {
 public:
  virtual ~PreferencesActions() = default;
  virtual void ApplyGridLines(bool on) = 0;
  virtual void ApplyMenuVisualStyles(bool on) = 0;
  virtual void AddManagerToStartup() = 0;
  virtual void RemoveManagerFromStartup() = 0;
  virtual void OfferManagerLaunch() = 0;
  virtual void CloseManager() = 0;
  virtual void ShowHelpTopic(int topic) = 0;
};

class PreferencesDialog final : public QDialog {
  Q_OBJECT

 public:
  PreferencesDialog(QWidget* owner, AppState& state, Prompt& prompt, PreferencesActions& actions);

  void ShowTab(int index);  // 0 security, 1 settings, 2 explorer manager
  void Confirm();           // cmdOK

 private:
  void ManagerClicked();

  AppState& state_;
  Prompt& prompt_;
  PreferencesActions& actions_;
  bool manager_was_enabled_ = false;

  QTabBar* tabs_;
  QWidget* panels_[3];
  QRadioButton* opt3_;
  QRadioButton* opt5_;
  QRadioButton* opt7_;
  QCheckBox* progress_bars_;
  QCheckBox* tool_bars_;
  QCheckBox* grid_lines_;
  QCheckBox* maximize_;
  QCheckBox* prompt_to_save_;
  QComboBox* size_;
  QCheckBox* manager_;
};

inline const char* kRemoveManagerQuestion =
    "Shutting down the Corvane Explorer Manager will remove the right click menu integration "
    "with Windows as well as the Recycle Bin Wiping option.\r\n\r\nAre you sure you wish to "
    "remove the Manager from system startup?";

}  // namespace corvane
