#include "prompt.h"

#include <QMessageBox>

namespace corvane {

PromptAnswer MessageBoxPrompt::Ask(QWidget* owner, const QString& title, const QString& text,
                                   PromptIcon icon, PromptButtons buttons) {
  QMessageBox box(owner);
  box.setWindowTitle(title);
  // Paragraphs are separated by CR LF CR LF in the texts; the box wants LF.
  box.setText(QString(text).replace("\r\n", "\n"));
  switch (icon) {
    case PromptIcon::None:
      break;
    case PromptIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case PromptIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case PromptIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case PromptIcon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  switch (buttons) {
    case PromptButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case PromptButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case PromptButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case PromptButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return PromptAnswer::Ok;
    case QMessageBox::Yes:
      return PromptAnswer::Yes;
    case QMessageBox::No:
      return PromptAnswer::No;
    default:
      return buttons == PromptButtons::YesNo ? PromptAnswer::No
             : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                             : PromptAnswer::Cancel;
  }
}

PromptAnswer ScriptedPrompt::Ask(QWidget*, const QString& title, const QString& text,
                                 PromptIcon icon, PromptButtons buttons) {
  asked.push_back({title, text, icon, buttons});
  if (answers.empty()) {
    return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel
               ? PromptAnswer::Yes
               : PromptAnswer::Ok;
  }
  const PromptAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace corvane
