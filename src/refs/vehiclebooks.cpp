#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/user.h"
#include "framework/pickers.h"
#include "refs/registration.h"
#include "refs/vehicledrivers.h"
#include "refs/vehiclelists.h"
#include "refs/vehicleperiods.h"
#include "refs/vehicles.h"

namespace {

using commands::CommandContext;
using commands::CommandRegistry;

// A list that only edits rows made with the vehicle: no Add, no Delete, whatever it is given.
PickerFunction editOnly(std::function<ListSpec(const FrameworkContext&)> describe) {
  return [describe = std::move(describe)](FrameworkContext& ctx, int key, int rights,
                                          bool selectMode, QWidget* parent) {
    return pickFromList(ctx, describe(ctx), key, vehiclebooks::editOnlyRights(rights), selectMode,
                        parent);
  };
}

// The lists of one vehicle open on the vehicle chosen in the task parameters, which the menu
// asks for before it runs them.
template <typename List>
void registerVehicleList(const QString& target) {
  CommandRegistry::registerTarget(target, [](const CommandContext& c) {
    List window(c.dm.context(), c.bsp.Car, c.parent);
    window.Execute(0, c.rights, false);
    return true;
  });
}

}  // namespace

void registerVehicleBooks() {
  registerPicker(QStringLiteral("PickVehicle"),
                 [](FrameworkContext& ctx, int key, int rights, bool selectMode, QWidget* parent) {
                   const TUser user = userOf(ctx);
                   return pickVehicleFor(ctx, &user, key, rights, selectMode, parent);
                 });
  registerPicker(QStringLiteral("PickPrice"),
                 editOnly([](const FrameworkContext&) { return vehiclebooks::prices(); }));
  registerPicker(QStringLiteral("PickFuelNorm"), editOnly([](const FrameworkContext& ctx) {
                   return vehiclebooks::fuelNorms(ctx.decPl);
                 }));
  registerList(QStringLiteral("PickNormCoefficient"), vehiclebooks::normCoefficients());
  registerList(QStringLiteral("PickFuelCard"), vehiclebooks::fuelCards());

  registerVehicleList<TfmLsAcarf>(QStringLiteral("PickVehicleDriver"));
  registerVehicleList<TfmLsDopNorm>(QStringLiteral("PickAdditionalNorm"));
  registerVehicleList<TfmLsAWint>(QStringLiteral("PickWinterPeriod"));
}
