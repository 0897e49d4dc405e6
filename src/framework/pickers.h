#pragma once

#include <QString>

#include <QVariantMap>

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

// Openers of windows that are not lists: the waybill's line editors, the additional-norm hours of
// a waybill and the remainder search. Each takes its arguments by name (the waybill's keys, the
// line's key, 0 for a new line) and returns a key, 0 for OK, or -1 when there is none; a window
// not registered yet says so and returns -1.
using OpenerFunction =
    std::function<int(FrameworkContext& ctx, const QVariantMap& args, QWidget* parent)>;

void registerOpener(const QString& name, OpenerFunction opener);
bool hasOpener(const QString& name);
int Open(const QString& name, FrameworkContext& ctx, const QVariantMap& args,
         QWidget* parent = nullptr);

#define VEDOMIR_OPENER(NAME)                                                                   \
  inline int NAME(FrameworkContext& ctx, const QVariantMap& args, QWidget* parent = nullptr) { \
    return Open(QStringLiteral(#NAME), ctx, args, parent);                                     \
  }
VEDOMIR_OPENER(EditClientLine)
VEDOMIR_OPENER(EditRideLine)
VEDOMIR_OPENER(EditFuelLine)
VEDOMIR_OPENER(EditAdditionalNormHours)
VEDOMIR_OPENER(SearchFuelRemainders)
#undef VEDOMIR_OPENER
