#pragma once

#include "app/bsp.h"
#include "app/datamodule.h"
#include "platform/query.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

// A database of the program's schema and a data module connected to it, as after a login, with
// a recorder of the messages shown.
class DataModuleFixture : public ::testing::Test {
 protected:
  DataModuleFixture() : dm_(dir_.filePath("Ini.ini"), bsp_) {
    const Target t = target();
    dm_.DB.setDatabaseName(base_.path());
    dm_.DB.setLogin(t.user, t.password);
    dm_.DB.connect();
  }

  // A statement of the test's own, committed at once so that the data module sees it.
  void run(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.exec();
    base_.tr().commit();
  }

  TestDatabase base_;  // outlives the data module's connection to it
  QTemporaryDir dir_;
  TBsp bsp_;
  TDM dm_;
  MessageRecorder messages_;
};

}  // namespace testsupport
