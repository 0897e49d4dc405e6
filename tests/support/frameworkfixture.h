#pragma once

#include "framework/context.h"
#include "framework/editwindow.h"
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

  // A statement of the test's own on the shared transaction (commit it yourself).
  void sql(const QString& text) {
    db::Query q(base_.db(), &base_.tr());
    q.setSql(text);
    q.exec();
  }
  // The first column of the first row, read in a transaction of its own (committed data only).
  QVariant scalar(const QString& text) {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql(text);
    q.open();
    return q.isEmpty() ? QVariant() : q.field(0).asVariant();
  }
  int count(const QString& text) { return scalar(text).toInt(); }

  TestDatabase base_;
  QTemporaryDir dir_;
  IniFile ini_;
  db::Transaction trList_{base_.db()};
  db::Query scratch_{base_.db()};
  FrameworkContext ctx_;
  MessageRecorder messages_;
};

// Closes an edit window whatever its state: a pending change is dropped.
inline void closeEditor(TfmAbstrEdRef* ed) {
  if (!ed->isVisible()) return;
  ed->Cancel();
  if (ed->isVisible()) ed->reject();
}

}  // namespace testsupport
