// The main window's menu bar, tool bar and status bar as one set of named tools:
// each menu entry and tool bar button is a QAction, each status pane a QLabel,
// whose object name is the tool's name. Clicks, menu openings and changes of
// the area the bars leave free arrive as signals.
#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>
#include <memory>

#include "job_session.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QStyle;
class QToolBar;

namespace corvane {

// Twips (1/1440 inch) and pixels at `dpi` dots per inch.
int PixelsToTwips(int pixels, int dpi);
int TwipsToPixels(int twips, int dpi);

class CommandBars final : public QObject, public CommandSurface {
  Q_OBJECT

 public:
  explicit CommandBars(QMainWindow* window);
  ~CommandBars() override;

  // Building the bars.
  QMenu* AddMenu(const QString& name, const QString& caption);
  QAction* AddMenuTool(QMenu* menu, const QString& name, const QString& caption,
                       const QIcon& icon = {});
  QAction* AddBarTool(const QString& name, const QString& caption, const QIcon& icon);
  QLabel* AddPane(const QString& name, const QString& text);

  // The tool (menu entry, button or menu title) named exactly `name`, or null.
  QAction* Tool(const QString& name) const;
  QMenu* Menu(const QString& name) const;
  void SetToolEnabled(const QString& name, bool enabled) override;
  void SetToolChecked(const QString& name, bool checked);
  void SetPaneText(const QString& name, const QString& text) override;
  QString PaneText(const QString& name) const;

  // Opens menu `name` as a popup at the mouse pointer; its entries raise toolClick.
  void PopupMenu(const QString& name);

  // The arrangement of the bars, in a file of our own format. A failed load
  // leaves the built-in arrangement.
  bool SaveLayout(const QString& path) const;
  bool LoadLayout(const QString& path);

  // On: the desktop's style; off: a plain style, at once.
  void SetVisualStyles(bool on);
  bool visualStyles() const { return visual_styles_; }

  // The area the bars leave free; the job list lives in it.
  QWidget* clientArea() const { return client_; }

 signals:
  void toolClick(const QString& name);
  void menuPopup(const QString& name);
  // The free area in twips (left, top, width, height), the first layout included.
  void clientAreaChanged(const QRect& twips);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QMainWindow* window_;
  QToolBar* tool_bar_;
  QWidget* client_;
  std::unique_ptr<QStyle> plain_style_;
  bool visual_styles_ = true;
};

}  // namespace corvane
