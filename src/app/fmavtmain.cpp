#include "app/fmavtmain.h"

#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/user.h"

#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

TfmAvtMain::TfmAvtMain(TDM& dm, TBsp& bsp, TUser& user, QWidget* parent)
    : QMainWindow(parent), dm_(dm), bsp_(bsp), user_(user) {
  setWindowTitle(QStringLiteral("ППП \"Ведомир\""));
  auto* central = new QLabel(QStringLiteral("%1\n%2").arg(
      bsp_.UserDef.isEmpty() ? bsp_.UserName : bsp_.UserDef, bsp_.DbPath));
  central->setAlignment(Qt::AlignCenter);
  setCentralWidget(central);
  statusBar()->showMessage(QStringLiteral("Пользователь: %1").arg(bsp_.UserName));
  resize(900, 600);
}
