#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

// "Установите дату отчета п/л": one date, with which the waybill journal moves a waybill to
// another accounting date. "Продолжить" closes with Accepted, "Нет" and Esc with Rejected.
class TfmSetAccdate : public QDialog {
  Q_OBJECT
 public:
  explicit TfmSetAccdate(const QDate& date, QWidget* parent = nullptr);

  // The date last chosen in the dialog.
  QDate date() const { return date_; }
  QDateEdit* dateEdit() const { return dtAcc_; }
  QPushButton* continueButton() const { return btContinue_; }
  QPushButton* noButton() const { return btNo_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QDate date_;
  QDateEdit* dtAcc_;
  QPushButton* btContinue_;
  QPushButton* btNo_;
};

// Shows the dialog with the date. True when the person pressed "Продолжить". The date comes back
// as last chosen in both cases; the caller uses it only when true.
bool AskAccountingDate(QDate& date, QWidget* parent = nullptr);
