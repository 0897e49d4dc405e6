#include "app/accdate.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TfmSetAccdate::TfmSetAccdate(const QDate& date, QWidget* parent) : QDialog(parent), date_(date) {
  setObjectName(QStringLiteral("fmSetAccdate"));
  setWindowTitle(QStringLiteral("Установите дату отчета п/л"));

  dtAcc_ = new QDateEdit(this);
  dtAcc_->setObjectName(QStringLiteral("dtAccDate"));
  dtAcc_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  dtAcc_->setCalendarPopup(true);
  if (date.isValid()) dtAcc_->setDate(date);
  connect(dtAcc_, &QDateEdit::dateChanged, this, [this](QDate d) { date_ = d; });

  btContinue_ = new QPushButton(QStringLiteral("Продолжить"), this);
  btNo_ = new QPushButton(QStringLiteral("Нет"), this);
  // Enter moves on to the buttons; the choice is a press of one of them.
  btContinue_->setAutoDefault(false);
  btNo_->setAutoDefault(false);
  connect(btContinue_, &QPushButton::clicked, this, &QDialog::accept);
  connect(btNo_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btContinue_);
  buttons->addWidget(btNo_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dtAcc_);
  layout->addLayout(buttons);
  dtAcc_->setFocus();
}

void TfmSetAccdate::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (auto* b = qobject_cast<QPushButton*>(focusWidget())) {
      b->click();
    } else {
      focusNextChild();
    }
    return;
  }
  QDialog::keyPressEvent(e);
}

bool AskAccountingDate(QDate& date, QWidget* parent) {
  TfmSetAccdate w(date, parent);
  const bool confirmed = w.exec() == QDialog::Accepted;
  date = w.date();
  return confirmed;
}
