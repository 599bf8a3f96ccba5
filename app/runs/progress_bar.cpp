#include "progress_bar.h"

namespace corvane {

ProgressBarEx::ProgressBarEx(QWidget* parent) : QProgressBar(parent) {
  setRange(0, 100);
  setValue(0);
  setTextVisible(false);
}

void ProgressBarEx::SetPosition(int percent) {
  if (percent > maximum()) setMaximum(percent);
  setValue(std::max(percent, 0));
  repaint();  // drawn at once: callers yield right after
}

void ProgressBarEx::SetPlain(bool plain, QColor color) {
  plain_ = plain;
  setStyleSheet(plain ? QString("QProgressBar { border: 1px solid #808080; background: white; }"
                                " QProgressBar::chunk { background: %1; }")
                            .arg(color.name())
                      : QString());
}

}  // namespace corvane
