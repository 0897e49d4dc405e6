#include "db/schema.h"
#include "db/scriptrunner.h"
#include "platform/dberror.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ScriptRunner, SplitsAtTheCurrentTerminator) {
  const QString script =
      "-- a comment; with a semicolon\n"
      "create table A (X integer);\n"
      "COMMIT;\n"
      "SET TERM ^ ;\n"
      "create procedure P returns (Y integer) as\n"
      "begin\n"
      "  -- inside; a body\n"
      "  Y = 1; suspend;\n"
      "end^\n"
      "SET TERM ; ^\n"
      "insert into A values (1);\n"
      "insert into A values (2)";
  const auto s = schema::splitScript(script);
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s[0].text, "create table A (X integer)");
  EXPECT_EQ(s[0].line, 2);
  EXPECT_TRUE(s[1].text.startsWith("create procedure P"));
  EXPECT_TRUE(s[1].text.endsWith("end"));
  EXPECT_TRUE(s[1].text.contains("Y = 1; suspend;"));
  EXPECT_EQ(s[1].line, 5);
  EXPECT_EQ(s[2].text, "insert into A values (1)");
  EXPECT_EQ(s[3].text, "insert into A values (2)");
}

TEST(ScriptRunner, AFailingStatementNamesItsLine) {
  testsupport::TestDatabase base(testsupport::TestDatabase::Empty);
  try {
    schema::runScript(base.db(), base.tr(),
                      "create table A (X integer);\n\ncreate tabel B (Y integer);\n");
    FAIL();
  } catch (const db::DbError& e) {
    EXPECT_TRUE(e.message().contains("строке 3")) << e.message().toStdString();
  }
}

TEST(CreateDatabase, RefusesAnExistingFileOrAFolderItCannotWrite) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("old.fdb");
  {
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
  }
  struct Case {
    QString path;
    QString mentions;
  };
  const Case cases[] = {
      {existing, "уже существует"},
      {dir.filePath("no/such/folder/new.fdb"), "не существует"},
      {"", "Не указан"},
  };
  for (const Case& c : cases) {
    try {
      schema::createDatabase(c.path);
      FAIL() << c.path.toStdString();
    } catch (const db::DbError& e) {
      EXPECT_TRUE(e.message().contains(c.mentions)) << e.message().toStdString();
    }
  }
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "keep me");
}

}  // namespace
