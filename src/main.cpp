#include "app/startup.h"
#include "platform/database.h"
#include "refs/demodata.h"
#include "refs/registration.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstring>

namespace {
void setNames() {
  QCoreApplication::setApplicationName(QStringLiteral("vedomir"));
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}
}  // namespace

int main(int argc, char** argv) {
  db::ensureLockFolder();
  if (argc >= 2 && std::strcmp(argv[1], "--create-database") == 0) {
    QCoreApplication app(argc, argv);
    setNames();
    if (argc != 3) {
      std::fprintf(stderr, "%s\n", "Использование: vedomir --create-database ПУТЬ");
      return 2;
    }
    return createDatabaseCommand(QCoreApplication::arguments().at(2));
  }
  if (argc >= 2 && std::strcmp(argv[1], "--demo") == 0) {
    QCoreApplication app(argc, argv);
    setNames();
    if (argc != 3) {
      std::fprintf(stderr, "%s\n", "Использование: vedomir --demo ПУТЬ");
      return 2;
    }
    return createDemoDatabaseCommand(QCoreApplication::arguments().at(2));
  }
  QApplication app(argc, argv);
  setNames();
  registerDictionaries();
  registerVehicleBooks();
  return runProgram(QCoreApplication::arguments());
}
