#pragma once

#include "refs/refeditor.h"

#include <memory>

class EditableGrid;
class EditableModel;
class EditableRow;
class QCheckBox;
class QLabel;
namespace db {
class Query;
}

// The fuel norms of a vehicle: its base row of AVNORMFUEL (the norm per 100 km and the
// additional rates) and, below, the grid of its coefficients with their norms. A coefficient
// typed into the grid is posted with its norm; a new base norm recomputes every coefficient
// norm of the vehicle. Both round the same way (normrules::coefficientNorm).
class TfmEdAcarn1 : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  explicit TfmEdAcarn1(FrameworkContext& ctx, QWidget* parent = nullptr);
  ~TfmEdAcarn1() override;

  // The list is a list of vehicles; the row edited is the vehicle's base row of AVNORMFUEL.
  int Execute(const TEdRefParams& params, int key) override;
  EditableGrid* coefficientGrid() const { return grid_; }
  EditableModel* coefficients() const { return model_; }
  void done(int result) override;

 protected:
  bool BeforeSave() override;
  void AfterSave() override;
  void recordShown() override;

 private:
  void loadCoefficients();
  bool postCoefficient(EditableRow& row);

  QWidget* sum100_ = nullptr;
  EditableModel* model_;
  EditableGrid* grid_;
  std::unique_ptr<db::Query> rows_;
  std::unique_ptr<db::Query> post_;
};

// A norm coefficient: its name and whether it is the winter one. A new coefficient is given to
// every vehicle at once, neutral (KF 0, the norm equal to the base norm).
class TfmEdKFNorms : public TfmEdVehicleBook {
  Q_OBJECT
 public:
  explicit TfmEdKFNorms(FrameworkContext& ctx, QWidget* parent = nullptr);
  QCheckBox* winterBox() const { return winter_; }

 protected:
  void AfterSave() override;
  void recordShown() override;

 private:
  QCheckBox* winter_;
};
