#pragma once

#include "framework/context.h"
#include "platform/inifile.h"
#include "platform/query.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

// A database of the program's schema with what the list and edit windows need of a data
// module, and a recorder of their messages.
class FrameworkFixture : public ::testing::Test {
 protected:
  FrameworkFixture()
      : ini_(dir_.filePath("Ini.ini")), ctx_{base_.db(), trList_, base_.tr(), scratch_, ini_} {}

  TestDatabase base_;
  QTemporaryDir dir_;
  IniFile ini_;
  db::Transaction trList_{base_.db()};
  db::Query scratch_{base_.db()};
  FrameworkContext ctx_;
  MessageRecorder messages_;
};

}  // namespace testsupport
