#include "app/startup.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(StartDatabase, ChoosesWhatExistsAndOffersToCreateOtherwise) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("work.fdb");
  const QString missing = dir.filePath("gone.fdb");
  const QString def = dir.filePath("default.fdb");
  QFile(existing).open(QIODevice::WriteOnly);
  struct Case {
    QString configured;
    bool defaultExists;
    StartDatabase::Action action;
    QString path;
  };
  const Case cases[] = {
      {existing, false, StartDatabase::UseConfigured, existing},
      {"server:/db/work.fdb", false, StartDatabase::UseConfigured, "server:/db/work.fdb"},
      {"", false, StartDatabase::CreateDefault, def},
      {missing, false, StartDatabase::CreateDefault, def},
      {"", true, StartDatabase::UseDefault, def},
      {missing, true, StartDatabase::UseDefault, def},
  };
  for (const Case& c : cases) {
    QFile::remove(def);
    if (c.defaultExists) QFile(def).open(QIODevice::WriteOnly);
    const StartDatabase s = chooseStartDatabase(c.configured, def);
    EXPECT_EQ(s.action, c.action) << c.configured.toStdString();
    EXPECT_EQ(s.path, c.path) << c.configured.toStdString();
  }
}

}  // namespace
