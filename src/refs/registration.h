#pragma once

// Registers the pickers of the reference books; called once at start, before the main window.
void registerDictionaries();  // simple dictionaries and drivers
void registerVehicleBooks();  // vehicles, prices, norms and coefficients
