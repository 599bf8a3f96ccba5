#include "startup_windows.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

QPixmap ProductPicture(int width, int height) {
  QPixmap pixmap(width, height);
  QPainter painter(&pixmap);
  QLinearGradient gradient(0, 0, width, height);
  gradient.setColorAt(0, QColor(24, 40, 72));
  gradient.setColorAt(1, QColor(40, 110, 160));
  painter.fillRect(pixmap.rect(), gradient);
  // Shreds: a sheet cut into strips.
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 6; ++i) {
    painter.setBrush(QColor(230, 236, 244, 220 - i * 25));
    painter.drawRect(width / 12 + i * width / 40, height / 5 + (i % 2) * 6, width / 48,
                     height * 3 / 5 - (i % 3) * 10);
  }
  painter.setPen(Qt::white);
  QFont title = painter.font();
  title.setPointSize(std::max(10, height / 6));
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(QRect(width / 4, 0, width * 3 / 4, height * 2 / 3), Qt::AlignCenter, "Corvane");
  QFont small = painter.font();
  small.setPointSize(std::max(7, height / 18));
  small.setBold(false);
  painter.setFont(small);
  painter.drawText(QRect(width / 4, height / 2, width * 3 / 4, height / 3), Qt::AlignCenter,
                   "Secure file shredding");
  return pixmap;
}

SplashWindow::SplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("frmOpen");
  auto* picture = new QLabel(this);
  picture->setObjectName("Picture1");
  picture->setPixmap(ProductPicture(420, 240));
  picture->adjustSize();
  resize(picture->size());  // the window takes the picture's size
  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setInterval(2000);
  timer_->setSingleShot(true);
}

WelcomeWindow::WelcomeWindow(QWidget* owner, const QString& appFolder)
    : QDialog(owner), app_folder_(appFolder) {
  setObjectName("frmWelcome");
  setWindowTitle("Welcome to Corvane");
  auto* picture = new QLabel(this);
  picture->setObjectName("Image1");
  picture->setPixmap(ProductPicture(360, 90));
  const char* texts[] = {
      "Important Information about Corvane from Brannoch Inc.",
      "Corvane allows you to securely delete files and folders from your system.  When you "
      "delete a file normally, the file is not truly removed from you system.  It can still, in "
      "most cases, be recovered by file recovery software.  With Corvane, you can ensure that "
      "\u201cwiped\u201d files are not recoverable by any means.",
      "This allows you to ensure your privacy and that sensitive or confidential data cannot be "
      "recovered when you choose to remove it from your system.",
      "If the information you are choosing to \u201cwipe\u201d is extremely confidential and you "
      "need to ensure it cannot be recovered, use the File/Preferences option and set your "
      "Security Level to 7.  No software or hardware tools have ever been able to recover data "
      "that has been wiped using this level of security.",
      "One last note:  Use Corvane with caution.  Ensure you are only wiping the files you want "
      "to be wiped.  Once a file has been wiped using Corvane, it cannot be recovered."};
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  for (int i = 0; i < 5; ++i) {
    auto* label = new QLabel(QString::fromUtf8(texts[i]), this);
    label->setObjectName(QString("Label%1").arg(i + 1));
    label->setWordWrap(true);
    if (i == 0) {
      QFont bold = label->font();
      bold.setBold(true);
      label->setFont(bold);
    }
    layout->addWidget(label);
  }
  auto* ok = new QPushButton("&OK", this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  layout->addLayout(row);
  setFixedWidth(480);
}

void WelcomeWindow::done(int result) {
  QFile marker(app_folder_ + "sfrun.dat");
  if (marker.open(QIODevice::WriteOnly)) marker.close();  // errors are of no consequence
  QDialog::done(result);
}

}  // namespace corvane
