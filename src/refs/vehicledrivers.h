#pragma once

#include "framework/listwindow.h"
#include "refs/refeditor.h"

class QCheckBox;
class QLabel;

// "Машина-Водитель.": the drivers attached to one vehicle, the first driver marked.
class TfmLsAcarf : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  TfmLsAcarf(FrameworkContext& ctx, int car, QWidget* parent = nullptr);

  int car() const { return car_; }
  QString vehicleText() const;

 protected:
  void Configure() override;

 private:
  int car_;
  QLabel* vehicle_;
};

// A driver attached to the vehicle: the driver and whether he is its first driver. A pair
// without a driver, a second first driver and a driver attached twice are refused.
class TfmEdAcarf : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  TfmEdAcarf(FrameworkContext& ctx, int car, QWidget* parent = nullptr);

  QCheckBox* firstDriverBox() const { return first_; }

 protected:
  // The name of the list (the driver's full name) is not a column of the pair: no name box.
  void BindNameField(const TEdRefParams& params) override;
  bool BeforeSave() override;
  void recordShown() override;

 private:
  int car_;
  QWidget* driver_;
  QCheckBox* first_;
};
