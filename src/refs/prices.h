#pragma once

#include "refs/refeditor.h"

class QLabel;

// The prices of a vehicle's work (its AVPRICE row, made with the vehicle): shown with the
// vehicle's state number and mark; empty prices are stored as 0. The list hands it the key of
// the vehicle; the row it edits is the vehicle's row of AVPRICE.
class TfmEdAcarp : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  explicit TfmEdAcarp(FrameworkContext& ctx, QWidget* parent = nullptr);

  int Execute(const TEdRefParams& params, int key) override;

 protected:
  bool BeforeSave() override;
  void recordShown() override;

 private:
  QWidget* hours_ = nullptr;
};
