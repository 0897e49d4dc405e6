#include "app/fmavtmain.h"

#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/shelltargets.h"
#include "app/user.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <exception>

using commands::CommandDef;
using commands::Pattern;

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 272;
constexpr int kTextPointSize = 14;

// A lorry on a road, drawn to the size of the widget.
class VehiclePicture : public QWidget {
 public:
  explicit VehiclePicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("VehiclePicture"));
    setMinimumSize(200, 84);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = std::min(width() / 200.0, height() / 84.0);
    p.translate((width() - 200 * unit) / 2, (height() - 84 * unit) / 2);
    p.scale(unit, unit);

    // Road.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x70, 0x70, 0x70));
    p.drawRect(QRectF(0, 74, 200, 8));
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    for (int x = 6; x < 200; x += 28) p.drawRect(QRectF(x, 77, 14, 2));

    const QPen outline(QColor(0x20, 0x20, 0x20), 1.2);
    p.setPen(outline);
    // Cargo body.
    p.setBrush(QColor(0x2e, 0x6d, 0xb4));
    p.drawRoundedRect(QRectF(28, 16, 98, 44), 3, 3);
    p.setPen(QPen(QColor(0xd8, 0xe6, 0xf5), 1.0));
    for (int x = 44; x < 126; x += 16) p.drawLine(QPointF(x, 20), QPointF(x, 56));
    p.setPen(outline);
    // Cab with its window.
    QPainterPath cab;
    cab.moveTo(130, 60);
    cab.lineTo(130, 24);
    cab.lineTo(154, 24);
    cab.lineTo(170, 42);
    cab.lineTo(172, 60);
    cab.closeSubpath();
    p.setBrush(QColor(0xc8, 0x3a, 0x2e));
    p.drawPath(cab);
    QPainterPath window;
    window.moveTo(136, 30);
    window.lineTo(152, 30);
    window.lineTo(164, 43);
    window.lineTo(136, 43);
    window.closeSubpath();
    p.setBrush(QColor(0xbf, 0xe3, 0xf7));
    p.drawPath(window);
    // Chassis, bumper and headlight.
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawRect(QRectF(24, 58, 150, 6));
    p.setBrush(QColor(0xff, 0xe0, 0x66));
    p.drawEllipse(QRectF(166, 48, 6, 5));
    // Wheels.
    for (const double x : {50.0, 104.0, 152.0}) {
      p.setBrush(QColor(0x1c, 0x1c, 0x1c));
      p.drawEllipse(QPointF(x, 66), 9, 9);
      p.setBrush(QColor(0xb0, 0xb0, 0xb0));
      p.drawEllipse(QPointF(x, 66), 3.5, 3.5);
    }
  }
};

QIcon standardIcon(QWidget* w, QStyle::StandardPixmap which) {
  return w->style()->standardIcon(which, nullptr, w);
}

}  // namespace

StatusTexts readStatusTexts(db::Query& q) {
  StatusTexts texts;
  q.close();
  q.setParamCheck(true);
  q.setSql(QStringLiteral("select * from spconst where idconst=:IdConst"));
  q.param(QStringLiteral("IdConst")).setString(QStringLiteral("BASEID"));
  q.open();
  if (!q.isEmpty()) texts.baseName = q[QStringLiteral("NAME")].asString();
  q.close();
  q.param(QStringLiteral("IdConst")).setString(QStringLiteral("BASEVER"));
  q.open();
  if (!q.isEmpty()) texts.baseVersion = q[QStringLiteral("CNST")].asString().trimmed();
  q.close();
  return texts;
}

TfmAvtMain::TfmAvtMain(TDM& dm, TBsp& bsp, TUser& user, QWidget* parent)
    : QMainWindow(parent), dm_(dm), bsp_(bsp), user_(user) {
  setObjectName(QStringLiteral("fmAvtMain"));
  setWindowTitle(commands::kAppTitle);
  registerShellTargets();

  auto* central = new QWidget(this);
  QFont font = central->font();
  font.setPointSize(kTextPointSize);
  central->setFont(font);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(0);
  layout->addWidget(new VehiclePicture(central), 1);
  const QString contacts[] = {QStringLiteral("Служба сопровождения"),
                              QStringLiteral("тел. (000) 123-45-67"),
                              QStringLiteral("help@vedomir.example")};
  for (const QString& line : contacts) {
    auto* label = new QLabel(line, central);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  setCentralWidget(central);

  // Alt+X of "Вы&xод" is the mnemonic of its caption on the menu bar: a shortcut of the same keys
  // on the item would make both ambiguous, and neither would fire.
  buildMenu();
  buildToolBar();
  buildStatusBar();
  setFixedSize(kWidth, kHeight);
  FormCreate();
}

void TfmAvtMain::buildMenu() {
  // The window is small: narrow items keep all six entries of the menu bar in sight.
  menuBar()->setStyleSheet(QStringLiteral(
      "QMenuBar { spacing: 0px; padding: 0px; } QMenuBar::item { padding: 2px 3px; }"));
  QHash<QString, QMenu*> menus;
  for (const CommandDef& c : commands::commandTable()) {
    QMenu* owner = menus.value(c.parent);
    QAction* action = nullptr;
    if (owner && c.separatorBefore) {
      QAction* separator = owner->addSeparator();
      separator->setObjectName(c.name + QStringLiteral("Separator"));
      separators_.insert(c.name, separator);
    }
    if (c.pattern == Pattern::Submenu) {
      QMenu* menu = owner ? owner->addMenu(c.caption) : menuBar()->addMenu(c.caption);
      menu->setObjectName(c.name);
      menus.insert(c.name, menu);
      action = menu->menuAction();
    } else {
      action = owner ? owner->addAction(c.caption) : menuBar()->addAction(c.caption);
      const QString name = c.name;
      connect(action, &QAction::triggered, this, [this, name] { runMenuCommand(name); });
    }
    action->setObjectName(c.name);
    action->setStatusTip(c.hint);
    actions_.insert(c.name, action);
  }
}

void TfmAvtMain::buildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Панель инструментов"));
  toolBar_->setObjectName(QStringLiteral("ToolBar1"));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(20, 20));
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);

  // The program has no child windows to arrange: the buttons stay for the familiar look.
  struct Arrange {
    const char* name;
    QString text;
    QStyle::StandardPixmap icon;
  };
  const Arrange arrange[] = {
      {"tbCascade", QStringLiteral("Каскадом"), QStyle::SP_TitleBarNormalButton},
      {"tbTileHorizontal", QStringLiteral("Упорядочить горизонтально"),
       QStyle::SP_ToolBarVerticalExtensionButton},
      {"tbTileVertical", QStringLiteral("Упорядочить вертикально"),
       QStyle::SP_ToolBarHorizontalExtensionButton},
  };
  for (const Arrange& a : arrange) {
    QAction* action = toolBar_->addAction(standardIcon(this, a.icon), a.text);
    action->setObjectName(QString::fromLatin1(a.name));
    action->setStatusTip(a.text);
    action->setEnabled(false);
  }
  toolBar_->addSeparator()->setObjectName(QStringLiteral("tbSeparator"));

  struct Button {
    const char* name;
    QString text;
    QStyle::StandardPixmap icon;
    QString command;
  };
  const Button buttons[] = {
      {"tbBsp", QStringLiteral("Настройка параметров задач"), QStyle::SP_FileDialogDetailedView,
       QStringLiteral("mmiBsp")},
      {"tbHelp", QStringLiteral("Помощь"), QStyle::SP_DialogHelpButton, QStringLiteral("mmHelp")},
      {"tbExit", QStringLiteral("Выход"), QStyle::SP_DialogCloseButton, QStringLiteral("mmExit")},
  };
  for (const Button& b : buttons) {
    QAction* action = toolBar_->addAction(standardIcon(this, b.icon), b.text);
    action->setObjectName(QString::fromLatin1(b.name));
    action->setStatusTip(b.text);
    const QString command = b.command;
    connect(action, &QAction::triggered, this, [this, command] { runMenuCommand(command); });
  }
}

void TfmAvtMain::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  const int widths[] = {120, 200, 25};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(bar);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_[i]->setFixedWidth(widths[i]);
    bar->addWidget(panels_[i], i == 1 ? 1 : 0);
  }
}

void TfmAvtMain::FormCreate() {
  // The user is known from the login: a restricted user does not get the item journals.
  showItems(commands::kAdministratorOnly);
}

void TfmAvtMain::FormShow() {
  if (QScreen* s = screen()) move(s->availableGeometry().topLeft());
  try {
    dm_.ReadData();
    showItems(commands::kClientModeOnly | commands::kNotClientMode);
    const StatusTexts texts = readStatusTexts(dm_.qryTemp);
    panels_[1]->setText(texts.baseName);
    panels_[2]->setText(texts.baseVersion);
    showItems(commands::kAdministratorOnly);
    return;
  } catch (const db::DbError& e) {
    msg::error(e.message());
  } catch (const std::exception& e) {
    msg::error(QString::fromUtf8(e.what()));
  }
  // The start-up cannot be finished: the program ends as when the window is closed.
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TfmAvtMain::showItems(unsigned rules) {
  for (const CommandDef& c : commands::commandTable()) {
    if (!(c.visibility & rules)) continue;
    const bool visible = commands::isVisible(c, user_.typ, bsp_.ClientMode);
    actions_.value(c.name)->setVisible(visible);
    if (QAction* separator = separators_.value(c.name)) separator->setVisible(visible);
  }
}

void TfmAvtMain::runMenuCommand(const QString& name) {
  const CommandDef* command = commands::findCommand(name);
  if (!command) return;
  commands::runCommand(*command, dm_, bsp_, user_, this);
}

void TfmAvtMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  FormShow();
}

void TfmAvtMain::closeEvent(QCloseEvent* e) {
  QMainWindow::closeEvent(e);
  // Closing the main window ends the program, whatever other window is still around.
  if (e->isAccepted()) QCoreApplication::quit();
}

bool TfmAvtMain::event(QEvent* e) {
  // Hints go to the first panel; the status bar's own message line would hide the panels.
  if (e->type() == QEvent::StatusTip) {
    panels_[0]->setText(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QMainWindow::event(e);
}
