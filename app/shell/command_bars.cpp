#include "command_bars.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QToolBar>

#include "data_files.h"

namespace corvane {
namespace {

const QByteArray kLayoutMagic = "CORVANE-LAYOUT 1\n";
constexpr int kLayoutVersion = 1;

}  // namespace

int PixelsToTwips(int pixels, int dpi) {
  return dpi > 0 ? pixels * 1440 / dpi : pixels * 15;
}
int TwipsToPixels(int twips, int dpi) {
  return dpi > 0 ? twips * dpi / 1440 : twips / 15;
}

CommandBars::CommandBars(QMainWindow* window) : QObject(window), window_(window) {
  window_->menuBar()->setObjectName("MenuBar1");
  tool_bar_ = window_->addToolBar("Tool Bar");
  tool_bar_->setObjectName("ToolBar1");
  tool_bar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  tool_bar_->setIconSize(QSize(32, 32));
  window_->statusBar()->setObjectName("StatusBar1");
  client_ = new QWidget(window_);
  client_->setObjectName("ClientArea");
  client_->installEventFilter(this);
  window_->setCentralWidget(client_);
}

CommandBars::~CommandBars() = default;

QMenu* CommandBars::AddMenu(const QString& name, const QString& caption) {
  QMenu* menu = window_->menuBar()->addMenu(caption);
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
  connect(menu, &QMenu::aboutToShow, this, [this, name] { emit menuPopup(name); });
  return menu;
}

QAction* CommandBars::AddMenuTool(QMenu* menu, const QString& name, const QString& caption,
                                  const QIcon& icon) {
  QAction* action = menu->addAction(icon, caption);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, [this, name] { emit toolClick(name); });
  return action;
}

QAction* CommandBars::AddBarTool(const QString& name, const QString& caption, const QIcon& icon) {
  QAction* action = tool_bar_->addAction(icon, caption);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, [this, name] { emit toolClick(name); });
  return action;
}

QLabel* CommandBars::AddPane(const QString& name, const QString& text) {
  auto* pane = new QLabel(text);
  pane->setObjectName(name);
  pane->setMinimumWidth(120);
  window_->statusBar()->addWidget(pane, name == "Static2" ? 1 : 0);
  return pane;
}

QAction* CommandBars::Tool(const QString& name) const {
  // Object names are compared exactly; menu titles are tools too.
  for (QAction* action : window_->findChildren<QAction*>()) {
    if (action->objectName() == name) return action;
  }
  return nullptr;
}

QMenu* CommandBars::Menu(const QString& name) const {
  for (QMenu* menu : window_->findChildren<QMenu*>()) {
    if (menu->objectName() == name) return menu;
  }
  return nullptr;
}

void CommandBars::SetToolEnabled(const QString& name, bool enabled) {
  if (QAction* tool = Tool(name)) tool->setEnabled(enabled);
}

void CommandBars::SetToolChecked(const QString& name, bool checked) {
  if (QAction* tool = Tool(name)) {
    tool->setCheckable(true);
    tool->setChecked(checked);
  }
}

void CommandBars::SetPaneText(const QString& name, const QString& text) {
  if (auto* pane = window_->findChild<QLabel*>(name)) pane->setText(text);
}

QString CommandBars::PaneText(const QString& name) const {
  auto* pane = window_->findChild<QLabel*>(name);
  return pane ? pane->text() : QString();
}

void CommandBars::PopupMenu(const QString& name) {
  if (QMenu* menu = Menu(name)) menu->popup(QCursor::pos());
}

bool CommandBars::SaveLayout(const QString& path) const {
  return WriteWholeFile(path, kLayoutMagic + window_->saveState(kLayoutVersion));
}

bool CommandBars::LoadLayout(const QString& path) {
  const auto bytes = ReadWholeFile(path);
  if (!bytes || !bytes->startsWith(kLayoutMagic)) return false;
  return window_->restoreState(bytes->mid(kLayoutMagic.size()), kLayoutVersion);
}

void CommandBars::SetVisualStyles(bool on) {
  visual_styles_ = on;
  if (!on && !plain_style_) plain_style_.reset(QStyleFactory::create("Windows"));
  QStyle* style = on ? nullptr : plain_style_.get();
  QList<QWidget*> bars = {window_->menuBar(), tool_bar_, window_->statusBar()};
  for (QMenu* menu : window_->findChildren<QMenu*>()) bars << menu;
  for (QWidget* bar : bars) {
    bar->setStyle(style);
    bar->update();
  }
}

bool CommandBars::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
                             event->type() == QEvent::Show)) {
    const int dpi = client_->logicalDpiX();
    const QRect r(0, 0, client_->width(), client_->height());
    emit clientAreaChanged(QRect(PixelsToTwips(r.x(), dpi), PixelsToTwips(r.y(), dpi),
                                 PixelsToTwips(r.width(), dpi), PixelsToTwips(r.height(), dpi)));
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace corvane
