#include "framework/abstrform.h"

#include "platform/inifile.h"
#include "platform/messages.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <stdexcept>

TfmAbstrForm::TfmAbstrForm(IniFile& ini, const QString& name, QWidget* parent)
    : QDialog(parent), ini_(ini) {
  setObjectName(name);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  menuBar_ = new QMenuBar(this);
  toolBar_ = new QToolBar(this);
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  statusBar_ = new QStatusBar(this);
  statusBar_->setSizeGripEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(toolBar_);
  body_ = new QVBoxLayout;
  body_->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(body_, 1);
  layout->addWidget(statusBar_);

  exitAction_ = new QAction(QStringLiteral("Выход"), this);
  exitAction_->setShortcut(Qt::Key_Escape);
  exitAction_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  connect(exitAction_, &QAction::triggered, this, &QDialog::reject);
  printAction_ = new QAction(QStringLiteral("Печать документа"), this);
  printAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(printAction_, &QAction::triggered, this, &TfmAbstrForm::printImage);
  addAction(exitAction_);
  addAction(printAction_);
}

void TfmAbstrForm::showEvent(QShowEvent* e) {
  if (!restored_) {
    restored_ = true;
    const QString s = section();
    move(ini_.readInteger(s, QStringLiteral("Left"), 100),
         ini_.readInteger(s, QStringLiteral("Top"), 100));
    resize(ini_.readInteger(s, QStringLiteral("Width"), std::max(400, width())),
           ini_.readInteger(s, QStringLiteral("Height"), std::max(300, height())));
    restoreState();
  }
  QDialog::showEvent(e);
}

void TfmAbstrForm::keyPressEvent(QKeyEvent* e) {
  // Keys that no box took come here: run the window's action of that key. This does not depend
  // on the window being the active one, as shortcuts do; Esc goes through the Exit action so
  // that a window can forbid it (an editor with changes).
  const QKeySequence pressed(e->keyCombination());
  for (QAction* a : actions()) {
    if (a->shortcut() == pressed) {
      if (a->isEnabled()) a->trigger();
      return;
    }
  }
  if (e->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(e);
}

void TfmAbstrForm::done(int result) {
  try {
    const QString s = section();
    ini_.writeInteger(s, QStringLiteral("Left"), x());
    ini_.writeInteger(s, QStringLiteral("Top"), y());
    ini_.writeInteger(s, QStringLiteral("Width"), width());
    ini_.writeInteger(s, QStringLiteral("Height"), height());
    saveState();
  } catch (const std::exception& e) {
    // Closing is never refused; the position is simply not remembered.
    msg::warning(QString::fromUtf8(e.what()));
  }
  QDialog::done(result);
}

void TfmAbstrForm::printImage() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const QPixmap image = grab();
  QPainter painter(&printer);
  const QRect page = painter.viewport();
  const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
  painter.drawPixmap(QRect(page.topLeft(), size), image);
}

void TfmAbstrForm::addExitToMenuBar() {
  QAction* exit = menuBar_->addAction(exitAction_->text());
  connect(exit, &QAction::triggered, exitAction_, &QAction::trigger);
  connect(exitAction_, &QAction::changed, exit,
          [exit, this] { exit->setEnabled(exitAction_->isEnabled()); });
}
