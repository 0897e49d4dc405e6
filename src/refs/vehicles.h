#pragma once

#include "framework/listwindow.h"
#include "refs/refeditor.h"

class QCheckBox;
class QLabel;
class LookupBox;
struct TUser;

// "Автомобили.": the vehicles not taken out of the list, with the current vehicle's subdivision
// and drivers above the grid. Delete takes a vehicle out of the list (DISMISS = 1); it keeps its
// waybills. Given a restricted user, the list holds the vehicles of his subdivisions and those
// without one.
class TfmLsAcar : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  TfmLsAcar(FrameworkContext& ctx, const TUser* user, QWidget* parent = nullptr);

  QString subdivisionText() const;
  QString firstDriverText() const;
  QString otherDriverText() const;

 private:
  void showCurrent();

  QLabel* subdivision_;
  QLabel* firstDriver_;
  QLabel* otherDriver_;
};

// The vehicle editor: the state number, the lookup boxes of its mark, type, fuel, subdivision,
// client, route, fuel card and trailer (with the trailer's mark beside it), the work schedule,
// the numbers of the vehicle and its two switches. A vehicle saved with empty boxes stores zeros
// and "-" as the inventory number; a vehicle is never its own trailer.
class TfmEdAcar : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  explicit TfmEdAcar(FrameworkContext& ctx, QWidget* parent = nullptr);

  QString trailerMarkText() const;
  QCheckBox* twoDriversBox() const { return two_; }
  QCheckBox* motorHoursBox() const { return tmoto_; }

 protected:
  bool BeforeSave() override;
  void recordShown() override;

 private:
  void showTrailerMark(int trailer);

  LookupBox* trailer_ = nullptr;
  QLabel* trailerMark_ = nullptr;
  QCheckBox* two_ = nullptr;
  QCheckBox* tmoto_ = nullptr;
};

// The vehicle list for a choice or for browsing, narrowed for a restricted user (null: not
// narrowed). The chosen key, or -1.
int pickVehicleFor(FrameworkContext& ctx, const TUser* user, int key, int rights, bool selectMode,
                   QWidget* parent = nullptr);
