#include "app/datamodule.h"

#include "app/bsp.h"

#include <cstdio>
#include <stdexcept>

TDM::TDM(const QString& iniPath, TBsp& bsp) : ini_(iniPath), bsp_(bsp) {
  DB.setDefaultTransaction(&IBTransaction);
  bsp_.Dt1 = ini_.readDate(inikeys::kPeriod, inikeys::kDt1, QDate(2005, 1, 1));
  bsp_.Dt2 = ini_.readDate(inikeys::kPeriod, inikeys::kDt2, QDate(2005, 1, 31));
}

TDM::~TDM() {
  try {
    ini_.writeDate(inikeys::kPeriod, inikeys::kDt1, bsp_.Dt1);
    ini_.writeDate(inikeys::kPeriod, inikeys::kDt2, bsp_.Dt2);
  } catch (const std::exception& e) {
    // The program is ending; the period simply is not remembered.
    std::fprintf(stderr, "%s\n", e.what());
  }
  DB.disconnect();
}

double TDM::MinutesToHours(int minutes) {
  return QString::number(minutes / 60.0, 'f', 2).toDouble();
}
