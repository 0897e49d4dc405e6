#pragma once

#include "framework/listspec.h"

struct TUser;

// The descriptions of the vehicle books: vehicles, their drivers and prices, fuel norms and
// coefficients, additional norms, winter-tire periods and fuel cards. The windows with
// behaviour of their own (vehicles.h, vehicledrivers.h, prices.h, norms.h, vehicleperiods.h)
// take these descriptions, so that each list is written down in one place.
namespace vehiclebooks {

// AVCAR; a restricted user (not null, kind other than 0) sees the vehicles of the subdivisions
// granted to him and those without a subdivision.
ListSpec vehicles(const TUser* user);
// AVFASTENING: the drivers of the vehicle car.
ListSpec vehicleDrivers(int car);
// AVCAR with AVPRICE: the prices of each vehicle; edited, never added or deleted.
ListSpec prices();
// AVCAR with AVNORMFUEL: the base norm of each vehicle (shown with decPl decimals); edited,
// never added or deleted.
ListSpec fuelNorms(int decPl);
// AVKFNORMS; deleting a coefficient deletes its norm rows.
ListSpec normCoefficients();
// AVDOPNORM of the vehicle car.
ListSpec additionalNorms(int car);
// AVWINTIRE of the vehicle car, found and filtered by the start date as shown (dd.mm.yyyy).
ListSpec winterPeriods(int car);
// FUELCARD.
ListSpec fuelCards();

// Rights without Add and Delete, for the lists that only edit rows made elsewhere (the prices
// and norms of a vehicle come with the vehicle): their own table is AVCAR, and a delete there
// would take the vehicle itself.
int editOnlyRights(int rights);

// Lookup boxes of the vehicle editor, each with the picker of its list.
FieldSpec lookupField(const QString& field, const QString& label, const QString& sql,
                      const QString& keyField, const QString& nameField, const QString& table,
                      const QString& condition, const QString& picker);

}  // namespace vehiclebooks
