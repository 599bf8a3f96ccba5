// Runs the application's tests inside one QApplication: offscreen unless a
// display is there (the screenshot test runs under Xvfb).
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QLocale>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QLocale::setDefault(QLocale::c());
  QApplication app(argc, argv);
  QIcon::setFallbackThemeName("Adwaita");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
