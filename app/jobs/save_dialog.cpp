#include "save_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

bool JobNameHasIllegalCharacters(const QString& name) {
  for (QChar c : QStringLiteral("\"?*/\\><:|")) {
    if (name.contains(c)) return true;
  }
  return false;
}

namespace {

// Whether a job file of that name exists, ignoring letter case as the job names
// of different case would be the same job to the user.
bool JobFileExists(const QString& jobsFolder, const QString& name) {
  const QString wanted = (name + ".cvj").toLower();
  for (const QString& file : QDir(jobsFolder).entryList(QDir::Files)) {
    if (file.toLower() == wanted) return true;
  }
  return false;
}

}  // namespace

SaveJobDialog::SaveJobDialog(QWidget* owner, AppState& state, Prompt& prompt)
    : QDialog(owner), state_(state), prompt_(prompt) {
  setObjectName("frmSave");
  setWindowTitle("Save Job");
  auto* image = new QLabel(this);
  image->setObjectName("Image1");
  image->setPixmap(QIcon::fromTheme("document-save").pixmap(32, 32));
  auto* label = new QLabel("Enter a Name for your Wiping Job:", this);
  label->setObjectName("Label1");
  name_ = new QLineEdit(this);
  name_->setObjectName("txtName");
  ok_ = new QPushButton("&OK", this);
  ok_->setObjectName("cmdOK");
  ok_->setDefault(true);
  ok_->setEnabled(false);
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("cmdCancel");

  auto* text = new QVBoxLayout;
  text->addWidget(label);
  text->addWidget(name_);
  auto* top = new QHBoxLayout;
  top->addWidget(image, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  connect(name_, &QLineEdit::textChanged, this,
          [this](const QString& text) { ok_->setEnabled(!text.trimmed().isEmpty()); });
  connect(ok_, &QPushButton::clicked, this, &SaveJobDialog::Confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  name_->setFocus();
}

void SaveJobDialog::Confirm() {
  const QString typed = name_->text();
  if (JobNameHasIllegalCharacters(typed)) {
    prompt_.Ask(this, "Job Name", kIllegalJobName, PromptIcon::Exclamation, PromptButtons::Ok);
    name_->setFocus();
    name_->selectAll();
    return;
  }
  const QString name = typed.trimmed();
  if (JobFileExists(state_.JobsFolder(), name) &&
      prompt_.Ask(this, "Overwrite Job", kOverwriteJob, PromptIcon::Question,
                  PromptButtons::OkCancel) != PromptAnswer::Ok) {
    name_->setFocus();
    name_->selectAll();
    return;
  }
  state_.CurrentJobName = name;
  accept();
}

}  // namespace corvane
