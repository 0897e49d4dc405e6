#include <gtest/gtest.h>
#include <QApplication>

#include "platform/database.h"

int main(int argc, char** argv) {
  db::ensureLockFolder();
  // Tests never need a display; listing the tests at build time has none.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
