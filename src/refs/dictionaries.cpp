#include "refs/registration.h"

void registerDictionaries() {}
