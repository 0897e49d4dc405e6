#include "refs/registration.h"

void registerVehicleBooks() {}
