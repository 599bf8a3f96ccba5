// The splash window shown first, and the welcome window shown once ever.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QWidget>

class QTimer;

namespace corvane {

// A picture of our own, drawn in code: the splash and the welcome window use it.
QPixmap ProductPicture(int width, int height);

// frmOpen: borderless, holding Picture1 and Timer1 (2000 ms, off at first).
class SplashWindow final : public QWidget {
  Q_OBJECT

 public:
  SplashWindow();
  QTimer* timer() const { return timer_; }

 private:
  QTimer* timer_;
};

// frmWelcome: five texts and OK. However it is closed, it leaves sfrun.dat in the
// application folder so that it is not shown again.
class WelcomeWindow final : public QDialog {
  Q_OBJECT

 public:
  WelcomeWindow(QWidget* owner, const QString& appFolder);
  void done(int result) override;

 private:
  QString app_folder_;
};

}  // namespace corvane
