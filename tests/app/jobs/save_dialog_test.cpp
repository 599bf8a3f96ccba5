// The Save Job dialog: its OK button, refused names and the overwrite question.
#include "save_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "app_test_support.h"
#include "data_files.h"

namespace corvane::testing {
namespace {

class SaveDialogTest : public ::testing::Test {
 protected:
  SaveDialogTest() {
    state.AppFolder = Q(dir.path()) + "/";
    QDir().mkpath(state.JobsFolder());
  }
  void Type(SaveJobDialog& dialog, const QString& text) {
    dialog.findChild<QLineEdit*>("txtName")->setText(text);
  }
  TempDir dir;
  AppState state;
  ScriptedPrompt prompt;
};

TEST_F(SaveDialogTest, OkIsEnabledOnlyForANameThatIsNotBlank) {
  SaveJobDialog dialog(nullptr, state, prompt);
  auto* ok = dialog.findChild<QPushButton*>("cmdOK");
  EXPECT_FALSE(ok->isEnabled());
  Type(dialog, "   ");
  EXPECT_FALSE(ok->isEnabled());
  Type(dialog, " my job ");
  EXPECT_TRUE(ok->isEnabled());
  dialog.Confirm();
  EXPECT_EQ(state.CurrentJobName, "my job");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SaveDialogTest, NamesWithForbiddenCharactersAreRefused) {
  for (const char* name : {"a:b", "a/b", "a\\b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"}) {
    SCOPED_TRACE(name);
    prompt.asked.clear();
    SaveJobDialog dialog(nullptr, state, prompt);
    Type(dialog, name);
    dialog.Confirm();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].title, "Job Name");
    EXPECT_EQ(prompt.asked[0].text, kIllegalJobName);
    EXPECT_EQ(state.CurrentJobName, "");
  }
}

TEST_F(SaveDialogTest, ExistingJobAsksBeforeOverwriting) {
  ASSERT_TRUE(WriteWholeFile(state.JobPath("Weekly"), "x"));
  for (const char* name : {"Weekly", "WEEKLY"}) {
    SCOPED_TRACE(name);
    prompt.asked.clear();
    prompt.answers = {PromptAnswer::Cancel};
    SaveJobDialog dialog(nullptr, state, prompt);
    Type(dialog, name);
    dialog.Confirm();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].title, "Overwrite Job");
    EXPECT_EQ(prompt.asked[0].text, kOverwriteJob);
    EXPECT_EQ(state.CurrentJobName, "");

    prompt.answers = {PromptAnswer::Ok};
    dialog.Confirm();
    EXPECT_EQ(state.CurrentJobName, name);
    state.CurrentJobName.clear();
  }
}

}  // namespace
}  // namespace corvane::testing
