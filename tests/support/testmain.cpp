#include <gtest/gtest.h>
#include <QCoreApplication>

#include "platform/database.h"

// Code pages and resources need an application object; widget tests bring their own main.
int main(int argc, char** argv) {
  db::ensureLockFolder();
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
