#include "app/datamodule.h"
#include "app/user.h"
#include "framework/pickers.h"
#include "refs/dictionarylists.h"
#include "refs/dictionaryspecs.h"
#include "refs/drivers.h"
#include "refs/objectlist.h"
#include "refs/registration.h"

#include <functional>

namespace {

// Runs a list window made for one use and returns the chosen key, or -1.
int runPicker(TfmAbstrLsRef0& window, int key, int rights, bool selectMode) {
  const int result = window.Execute(key, rights, selectMode);
  return result == QDialog::Accepted ? window.currentKey() : -1;
}

// A picker whose window is a class of its own.
template <class Window>
void registerWindow(const QString& picker,
                    std::function<std::unique_ptr<Window>(FrameworkContext&, QWidget*)> make) {
  registerPicker(picker, [make = std::move(make)](FrameworkContext& ctx, int key, int rights,
                                                  bool selectMode, QWidget* parent) {
    const std::unique_ptr<Window> window = make(ctx, parent);
    return runPicker(*window, key, rights, selectMode);
  });
}

// A dictionary whose rows stay while vehicles or drivers use them.
void registerGuarded(const QString& picker, ListSpec (*book)(), QList<KeyUse> (*uses)()) {
  registerWindow<TfmLsRefInUse>(picker, [book, uses](FrameworkContext& ctx, QWidget* parent) {
    return std::make_unique<TfmLsRefInUse>(ctx, book(), uses(), parent);
  });
}

}  // namespace

void registerDictionaries() {
  registerGuarded(QStringLiteral("PickMark"), dictionaries::marks, dictionaryuse::marks);
  registerGuarded(QStringLiteral("PickVehicleType"), dictionaries::vehicleTypes,
                  dictionaryuse::vehicleTypes);
  registerGuarded(QStringLiteral("PickSubdivision"), dictionaries::subdivisions,
                  dictionaryuse::subdivisions);
  registerGuarded(QStringLiteral("PickFuel"), dictionaries::fuels, dictionaryuse::fuels);

  registerList(QStringLiteral("PickWorkKind"), dictionaries::workKinds());
  registerList(QStringLiteral("PickCargo"), dictionaries::cargo());
  registerList(QStringLiteral("PickRoute"), dictionaries::routes());
  registerList(QStringLiteral("PickTireDefect"), dictionaries::tireDefects());
  registerList(QStringLiteral("PickTireConclusion"), dictionaries::tireConclusions());
  registerList(QStringLiteral("PickBatteryDefect"), dictionaries::batteryDefects());
  registerList(QStringLiteral("PickBatteryConclusion"), dictionaries::batteryConclusions());
  registerList(QStringLiteral("PickFillKind"), dictionaries::fillKinds());

  registerWindow<TfmLsAclient>(QStringLiteral("PickClient"),
                               [](FrameworkContext& ctx, QWidget* parent) {
                                 return std::make_unique<TfmLsAclient>(ctx, parent);
                               });
  registerWindow<TfmLsObj>(QStringLiteral("PickObject"),
                           [](FrameworkContext& ctx, QWidget* parent) {
                             return std::make_unique<TfmLsObj>(ctx, parent);
                           });
  registerWindow<TfmLsAdriver>(QStringLiteral("PickDriver"),
                               [](FrameworkContext& ctx, QWidget* parent) {
                                 const TUser user = userOf(ctx);
                                 return std::make_unique<TfmLsAdriver>(ctx, &user, parent);
                               });
}
