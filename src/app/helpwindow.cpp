#include "app/helpwindow.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Помощь: ППП \"Ведомир\""));
  setObjectName(QStringLiteral("HelpWindow"));
  resize(640, 480);

  auto* contents = new QPushButton(QStringLiteral("Содержание"), this);
  auto* back = new QPushButton(QStringLiteral("Назад"), this);
  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  back->setEnabled(false);
  contents->setAutoDefault(false);
  back->setAutoDefault(false);
  connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  // Links to other sites go to the desktop's browser; the pages themselves have none.
  browser_->setOpenExternalLinks(true);
  browser_->setSource(contentsUrl());
  browser_->setFocus();
}

QUrl HelpWindow::contentsUrl() {
  return QUrl(QStringLiteral("qrc:/help/index.html"));
}
