#pragma once

#include "framework/listwindow.h"
#include "refs/refeditor.h"

class QLabel;

// The additional norms (litres per hour) of one vehicle, captioned with its mark and state
// number. A norm that a waybill uses is not deleted. Find and Filter are off.
class TfmLsDopNorm : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  TfmLsDopNorm(FrameworkContext& ctx, int car, QWidget* parent = nullptr);

  // Refuses a norm in use; otherwise the ordinary delete.
  void DelActionExecute();

 protected:
  void Configure() override;

 private:
  int car_;
};

// An additional norm: its name and litres per hour; an empty rate is stored as 0.
class TfmEdDopNorm : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  TfmEdDopNorm(FrameworkContext& ctx, int car, QWidget* parent = nullptr);

 protected:
  bool BeforeSave() override;
  void recordShown() override;

 private:
  int car_;
};

// "Работа зимних шин": the periods in which one vehicle runs on winter tires.
class TfmLsAWint : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  TfmLsAWint(FrameworkContext& ctx, int car, QWidget* parent = nullptr);
  QString vehicleText() const;

 protected:
  void Configure() override;

 private:
  int car_;
  QLabel* vehicle_;
};

// A winter-tire period: its start (required) and its end (empty while the tires are on).
class TfmEdAWint : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  TfmEdAWint(FrameworkContext& ctx, int car, QWidget* parent = nullptr);

 protected:
  // The list's name column is the start date as text; the editor edits the date itself.
  void BindNameField(const TEdRefParams& params) override;
  bool BeforeSave() override;
  void recordShown() override;

 private:
  int car_;
  QWidget* from_;
};
