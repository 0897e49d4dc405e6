#pragma once

#include "framework/editwindow.h"

#include <QList>
#include <QPair>

class QCheckBox;
class QFormLayout;
class QLabel;

// The record editor of the vehicle books with what several of them need beyond the described
// fields: check boxes on 0/1 columns that leave a null alone until the person changes them, fields
// laid out by the editor itself, and one place to refresh what the editor shows besides its
// boxes whenever the record is shown anew (on showing and after a cancel).
class TfmEdVehicleBook : public TfmAbstrEdRef {
  Q_OBJECT
 public:
  TfmEdVehicleBook(FrameworkContext& ctx, const QString& name, QWidget* parent = nullptr);

 public:
  // The state number and mark shown by addVehicleHeader.
  QString vehicleText() const;

 protected:
  // Labels with the state number and mark of the record's vehicle (column CAR), for the editors
  // of a vehicle's own rows (prices, norms); showVehicleHeader fills them.
  void addVehicleHeader();
  void showVehicleHeader();
  // A check box on a 0/1 column, added to the form (or to the given layout when not null).
  QCheckBox* addFlag(const QString& field, const QString& label, QFormLayout* into = nullptr);
  // A described field taken out of the form, for the editor to lay out; still bound.
  QWidget* takeField(const FieldSpec& field);
  // A described field in a form of the editor's own.
  QWidget* addFieldTo(QFormLayout* form, const FieldSpec& field);
  // Whatever the editor shows besides its bound boxes.
  virtual void recordShown() {}
  void showEvent(QShowEvent* e) override;

  // A record value as a whole number; null is 0.
  int intValue(const QString& field);
  bool isNull(const QString& field);

 private:
  void showFlags();

  QLabel* stnumber_ = nullptr;
  QLabel* mark_ = nullptr;

  QList<QPair<QString, QCheckBox*>> flags_;
};
