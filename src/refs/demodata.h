#pragma once

#include <QString>

namespace db {
class Database;
class Transaction;
}  // namespace db

// A believable motor pool in a new database, to try the program on: subdivisions, some forty
// vehicles of the kinds the waybill forms are printed for, their marks, fuel norms and norm
// coefficients, winter periods, drivers with their vehicles, clients, fuels, routes, fill kinds,
// fuel cards and the smaller dictionaries. Like the initialisation of the program it writes the
// rows "Hет данных" with key 0 in every reference table and marks the initialisation done; new
// keys are taken from the key procedures, so the generators stand past every key used.
//
// Runs in tr without committing. Expects a database fresh from the schema script.
void fillDemoData(db::Database& database, db::Transaction& tr);

// vedomir --demo PATH: creates a new database at PATH and fills it. Prints what it did (or why
// it did not) and returns the exit code: 0 done, 1 nothing created.
int createDemoDatabaseCommand(const QString& path);
