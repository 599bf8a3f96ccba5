// Every message box of the application goes through a Prompt, so tests can
// answer them without a screen.
#pragma once

#include <QString>
#include <deque>
#include <vector>

class QWidget;

namespace corvane {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // Shows `text` under `title` with `icon` and `buttons`, modal over `owner`,
  // and returns the button chosen (closing the box answers Cancel, or No/Ok
  // where there is no Cancel).
  virtual PromptAnswer Ask(QWidget* owner, const QString& title, const QString& text,
                           PromptIcon icon, PromptButtons buttons) = 0;
};

// The real thing: QMessageBox.
class MessageBoxPrompt final : public Prompt {
 public:
  PromptAnswer Ask(QWidget* owner, const QString& title, const QString& text, PromptIcon icon,
                   PromptButtons buttons) override;
};

// Answers from a script and remembers what was asked. With the script empty it
// answers Ok, or Yes where there is no Ok.
class ScriptedPrompt final : public Prompt {
 public:
  struct Asked {
    QString title;
    QString text;
    PromptIcon icon;
    PromptButtons buttons;
  };

  PromptAnswer Ask(QWidget* owner, const QString& title, const QString& text, PromptIcon icon,
                   PromptButtons buttons) override;

  std::deque<PromptAnswer> answers;
  std::vector<Asked> asked;
};

}  // namespace corvane
