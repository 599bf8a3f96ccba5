// The progress bar of the progress windows: a position in percent, and a plain
// flat bar in one colour when visual styles are off.
#pragma once

#include <QColor>
#include <QProgressBar>

namespace corvane {

class ProgressBarEx final : public QProgressBar {
  Q_OBJECT

 public:
  // 0x2BD228 as the colour is given: red 40, green 210, blue 43.
  static constexpr QRgb kPlainColor = qRgb(40, 210, 43);

  explicit ProgressBarEx(QWidget* parent = nullptr);

  // The position, a percentage; values above 100 widen the range to fit.
  void SetPosition(int percent);
  int Position() const { return value(); }

  // Plain: a flat bar in `color`; otherwise the desktop's style.
  void SetPlain(bool plain, QColor color = QColor(kPlainColor));
  bool IsPlain() const { return plain_; }

 private:
  bool plain_ = false;
};

}  // namespace corvane
