#pragma once

#include <QString>

#include <functional>

struct FrameworkContext;
class QWidget;

// Pickers open one list window each, for browsing (from the main menu) or for choosing a row
// (from an edit window), and return the chosen key, or -1 when the window ended otherwise.
// Each list registers its picker under the picker's name when the program starts; a picker
// whose list is not registered says so and returns -1.
using PickerFunction = std::function<int(FrameworkContext& ctx, int key, int rights,
                                         bool selectMode, QWidget* parent)>;

void registerPicker(const QString& name, PickerFunction picker);
bool hasPicker(const QString& name);
int Pick(const QString& name, FrameworkContext& ctx, int key, int rights, bool selectMode,
         QWidget* parent = nullptr);

// One function per list, by the names the rest of the program uses.
#define VEDOMIR_PICKER(NAME)                                                   \
  inline int NAME(FrameworkContext& ctx, int key, int rights, bool selectMode, \
                  QWidget* parent = nullptr) {                                 \
    return Pick(QStringLiteral(#NAME), ctx, key, rights, selectMode, parent);  \
  }
VEDOMIR_PICKER(PickMark)
VEDOMIR_PICKER(PickVehicleType)
VEDOMIR_PICKER(PickWorkKind)
VEDOMIR_PICKER(PickSubdivision)
VEDOMIR_PICKER(PickClient)
VEDOMIR_PICKER(PickFuel)
VEDOMIR_PICKER(PickDriver)
VEDOMIR_PICKER(PickVehicle)
VEDOMIR_PICKER(PickVehicleDriver)
VEDOMIR_PICKER(PickPrice)
VEDOMIR_PICKER(PickCargo)
VEDOMIR_PICKER(PickRoute)
VEDOMIR_PICKER(PickWaybill)
VEDOMIR_PICKER(PickTonneKm)
VEDOMIR_PICKER(PickTire)
VEDOMIR_PICKER(PickTireDefect)
VEDOMIR_PICKER(PickTireConclusion)
VEDOMIR_PICKER(PickBatteryDefect)
VEDOMIR_PICKER(PickBatteryConclusion)
VEDOMIR_PICKER(PickWinterPeriod)
VEDOMIR_PICKER(PickFillKind)
VEDOMIR_PICKER(PickObject)
VEDOMIR_PICKER(PickBattery)
VEDOMIR_PICKER(PickFuelRemainder)
VEDOMIR_PICKER(PickNormCoefficient)
VEDOMIR_PICKER(PickFuelNorm)
VEDOMIR_PICKER(PickAdditionalNorm)
VEDOMIR_PICKER(PickFuelCard)
#undef VEDOMIR_PICKER
