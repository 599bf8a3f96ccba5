// corvane: the desktop application. The splash comes first; a second copy of
// the program ends at once; after two seconds the main window loads and shows.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <memory>

#include "app_state.h"
#include "data_files.h"
#include "instance_guard.h"
#include "main_window.h"
#include "prompt.h"
#include "startup_windows.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Corvane");
  // The main window ends the process itself; the splash closing must not.
  QApplication::setQuitOnLastWindowClosed(false);
  if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") {
    QIcon::setFallbackThemeName("Adwaita");
  }

  corvane::InstanceGuard guard;
  if (guard.AnotherCopyRuns()) return 0;  // no window, no message, nothing written

  corvane::SplashWindow splash;
  splash.show();

  corvane::AppState state;
  corvane::MessageBoxPrompt prompt;
  corvane::MainWindowEnvironment environment;
  environment.programFolder = QCoreApplication::applicationDirPath();
  environment.dataHome = corvane::DataHome();
  environment.runEntry.configHome = corvane::ConfigHome();
  environment.anotherCopyRuns = [&guard] { return guard.AnotherCopyRuns(); };

  // Every argument is one path (no quote splitting happens on this platform).
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  std::unique_ptr<corvane::MainWindow> window;
  QObject::connect(splash.timer(), &QTimer::timeout, [&] {
    window = std::make_unique<corvane::MainWindow>(state, prompt, environment);
    const bool loaded = window->Load(arguments);
    splash.close();
    if (!loaded) {
      QCoreApplication::quit();
      return;
    }
    window->show();
  });
  splash.timer()->start();
  return QApplication::exec();
}
