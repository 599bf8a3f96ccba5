// Fixtures for the application's tests: a temporary application folder, a
// scripted prompt, and a way to answer the next modal dialog.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "main_window.h"
#include "prompt.h"
#include "test_support.h"

namespace corvane::testing {

using purgewell::testing::TempDir;

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// Runs `act` on the next modal dialog once it is shown (it must close it).
inline void OnNextDialog(std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(dialog);
    }
  });
  timer->start();
}

// A main window over a fresh application folder, with a scripted prompt.
struct MainWindowRig {
  explicit MainWindowRig(const TempDir& dir, bool anotherCopy = false) {
    environment.programFolder = Q(dir.path()) + "/app";
    QDir().mkpath(environment.programFolder);
    environment.dataHome = Q(dir.path()) + "/data";
    environment.runEntry.configHome = Q(dir.path()) + "/config";
    environment.anotherCopyRuns = [anotherCopy] { return anotherCopy; };
    environment.openUrl = [this](const QUrl& url) { opened << url.toString(); };
    window = std::make_unique<MainWindow>(state, prompt, environment);
  }
  QString appFolder() const { return environment.programFolder + "/"; }

  AppState state;
  ScriptedPrompt prompt;
  MainWindowEnvironment environment;
  QStringList opened;
  std::unique_ptr<MainWindow> window;
};

}  // namespace corvane::testing
