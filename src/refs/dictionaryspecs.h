#pragma once

#include "framework/listspec.h"

struct TUser;

// The descriptions of the simple dictionaries and of the drivers: table, key, captions, the
// statements their editors write with, the list query where it is not the generated one. The
// windows with behaviour of their own (dictionarylists.h, objectlist.h, drivers.h) take these
// descriptions too, so that each list is written down in one place.
namespace dictionaries {

ListSpec marks();               // AVMARK
ListSpec vehicleTypes();        // AVKIND, with the print form of the waybill
ListSpec workKinds();           // AVKINDWORK
ListSpec subdivisions();        // AVSUBDIV, dismissed rather than deleted
ListSpec clients();             // AVCLIENT, dismissed rather than deleted
ListSpec fuels();               // AVFUEL
ListSpec cargo();               // AVCARGO
ListSpec routes();              // AVROUTE
ListSpec tireDefects();         // AVDEF
ListSpec tireConclusions();     // AVZK
ListSpec batteryDefects();      // AVACDEF
ListSpec batteryConclusions();  // AVACZK
ListSpec fillKinds();           // AVGSMT
ListSpec objects();             // AVOBJ, construction objects
// AVDRIVER, dismissed rather than deleted; a restricted user (not null, kind other than 0) sees
// the drivers of the subdivisions granted to him and those of none.
ListSpec drivers(const TUser* user = nullptr);

// The lookup box of a subdivision not dismissed, with its picker (the driver's editor and
// others).
FieldSpec subdivisionLookup(const QString& label);

}  // namespace dictionaries
