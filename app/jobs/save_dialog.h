// frmSave: names an untitled job. On OK with an acceptable name it sets
// CurrentJobName; the caller writes the file.
#pragma once

#include <QDialog>

#include "app_state.h"
#include "prompt.h"

class QLineEdit;
class QPushButton;

namespace corvane {

// Names refused because of their characters (the nine characters no file name
// may hold on the systems jobs are shared with).
bool JobNameHasIllegalCharacters(const QString& name);

class SaveJobDialog final : public QDialog {
  Q_OBJECT

 public:
  SaveJobDialog(QWidget* owner, AppState& state, Prompt& prompt);

  // The OK button's steps; public so that tests can press it by name too.
  void Confirm();

 private:
  AppState& state_;
  Prompt& prompt_;
  QLineEdit* name_;
  QPushButton* ok_;
};

inline const char* kIllegalJobName =
    "One or more of the characters included in the job name are not allowed and are illegal "
    "characters for file names on the Windows operating system.\r\n\r\nPlease name the job using "
    "only numbers or letters.";
inline const char* kOverwriteJob =
    "A Corvane Job already exists by that name.  Do you wish to overwrite the existing Corvane "
    "Job?";

}  // namespace corvane
