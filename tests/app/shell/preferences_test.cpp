// The Preferences dialog: what it shows, what OK stores and applies, and the
// Explorer Manager option with its confirmation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "app_test_support.h"
#include "data_files.h"
#include "preferences_dialog.h"
#include "settings_store.h"

namespace corvane::testing {
namespace {

class RecordedActions final : public PreferencesActions {
 public:
  void ApplyGridLines(bool on) override { calls << QString("grid %1").arg(on); }
  void ApplyMenuVisualStyles(bool on) override { calls << QString("styles %1").arg(on); }
  void AddManagerToStartup() override { calls << "add"; }
  void RemoveManagerFromStartup() override { calls << "remove"; }
  void OfferManagerLaunch() override { calls << "offer"; }
  void CloseManager() override { calls << "close"; }
  void ShowHelpTopic(int topic) override { calls << QString("help %1").arg(topic); }
  QStringList calls;
};

class PreferencesTest : public ::testing::Test {
 protected:
  PreferencesTest() { state.AppFolder = Q(dir.path()) + "/"; }

  std::unique_ptr<PreferencesDialog> Open() {
    return std::make_unique<PreferencesDialog>(nullptr, state, prompt, actions);
  }
  template <typename T>
  static T* Find(QWidget* dialog, const char* name) {
    T* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QStringList ManagerCalls() const {
    QStringList out;
    for (const QString& call : actions.calls) {
      if (!call.startsWith("grid") && !call.startsWith("styles")) out << call;
    }
    return out;
  }

  TempDir dir;
  AppState state;
  ScriptedPrompt prompt;
  RecordedActions actions;
};

TEST_F(PreferencesTest, OddStoredValuesShowAsTheNearestChoiceAndOkStoresIt) {
  state.Settings.ReportFontSize = 9;
  state.Settings.WipePasses = 4;
  auto dialog = Open();
  EXPECT_EQ(Find<QComboBox>(dialog.get(), "cboSize")->currentText(), "12");
  EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "opt7")->isChecked());
  dialog->Confirm();
  EXPECT_EQ(state.Settings.ReportFontSize, 12);
  EXPECT_EQ(state.Settings.WipePasses, 7);
  const auto stored =
      SettingsRecord::Parse(ReadWholeFile(state.AppFolder + "Settings.dat").value());
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->WipePasses, 7);
}

TEST_F(PreferencesTest, OkWithoutChangesRewritesOnlyTheRecordAndTouchesNoManager) {
  ASSERT_TRUE(WriteWholeFile(state.AppFolder + "Settings2.dat", "sentinel"));
  state.Settings.LoadManagerAtStartup = 1;
  auto dialog = Open();
  dialog->Confirm();
  EXPECT_EQ(ReadWholeFile(state.AppFolder + "Settings.dat")->size(), 322);
  EXPECT_EQ(ReadWholeFile(state.AppFolder + "Settings2.dat"), QByteArray("sentinel"));
  EXPECT_TRUE(ManagerCalls().isEmpty());
  EXPECT_THAT(actions.calls, ::testing::Contains("grid 0"));
  EXPECT_THAT(actions.calls, ::testing::Contains("styles 1"));
  EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(PreferencesTest, ClearingTheManagerAsksAndCancelChecksItAgain) {
  state.Settings.LoadManagerAtStartup = 1;
  auto dialog = Open();
  auto* manager = Find<QCheckBox>(dialog.get(), "chkManager");
  prompt.answers = {PromptAnswer::Cancel};
  manager->click();
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].title, "Explorer Manager");
  EXPECT_EQ(prompt.asked[0].text, kRemoveManagerQuestion);
  EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::OkCancel);
  EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Question);
  EXPECT_TRUE(manager->isChecked());
}

TEST_F(PreferencesTest, ConfirmedRemovalHappensOnlyAtOk) {
  state.Settings.LoadManagerAtStartup = 1;
  {
    auto dialog = Open();
    prompt.answers = {PromptAnswer::Ok};
    Find<QCheckBox>(dialog.get(), "chkManager")->click();
    Find<QPushButton>(dialog.get(), "cmdCancel")->click();  // the dialog's Cancel
  }
  EXPECT_TRUE(ManagerCalls().isEmpty());
  EXPECT_EQ(state.Settings.LoadManagerAtStartup, 1);

  auto dialog = Open();
  prompt.answers = {PromptAnswer::Ok};
  Find<QCheckBox>(dialog.get(), "chkManager")->click();
  dialog->Confirm();
  EXPECT_EQ(ManagerCalls(), (QStringList{"remove", "close"}));
  EXPECT_EQ(state.Settings.LoadManagerAtStartup, 0);
}

TEST_F(PreferencesTest, CheckingTheManagerRegistersItAndOffersALaunch) {
  auto dialog = Open();
  Find<QCheckBox>(dialog.get(), "chkManager")->click();
  EXPECT_TRUE(prompt.asked.empty());
  dialog->Confirm();
  EXPECT_EQ(ManagerCalls(), (QStringList{"add", "offer"}));
}

TEST_F(PreferencesTest, TabsShowTheirPanelAndHelpOpensTopicEleven) {
  auto dialog = Open();
  dialog->show();
  auto* security = Find<QWidget>(dialog.get(), "picSecurity");
  auto* settings = Find<QWidget>(dialog.get(), "picSettings");
  auto* explorer = Find<QWidget>(dialog.get(), "picExplorer");
  EXPECT_TRUE(security->isVisible());
  EXPECT_FALSE(settings->isVisible());
  Find<QTabBar>(dialog.get(), "TabStrip1")->setCurrentIndex(2);
  EXPECT_FALSE(security->isVisible());
  EXPECT_TRUE(explorer->isVisible());
  Find<QPushButton>(dialog.get(), "cmdHelp")->click();
  EXPECT_THAT(actions.calls, ::testing::Contains("help 11"));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Preferences");
  EXPECT_EQ(Find<QRadioButton>(dialog.get(), "opt3")->text(),
            "Level 3 Wiping (equal to 9 data writes per byte) - Strong Security");
}

}  // namespace
}  // namespace corvane::testing
