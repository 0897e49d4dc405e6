#include "platform/sqlparams.h"

#include <gtest/gtest.h>

namespace {

TEST(NamedParams, FoundOutsideLiteralsAndComments) {
  struct Case {
    const char* sql;
    const char* text;
    QStringList names;
  };
  const Case cases[] = {
      {"select * from T where A=:A and B = :b_2",
       "select * from T where A=? and B = ?",
       {"A", "B_2"}},
      {"update T set X = :X where X = :OLD_X", "update T set X = ? where X = ?", {"X", "OLD_X"}},
      {"select ':NOT' from T where A = :A", "select ':NOT' from T where A = ?", {"A"}},
      {"select 'it''s :X' from T", "select 'it''s :X' from T", {}},
      {"select \"A:B\" from T -- :C\nwhere D = :D",
       "select \"A:B\" from T -- :C\nwhere D = ?",
       {"D"}},
      {"select /* :E */ 1 from T where F=:F", "select /* :E */ 1 from T where F=?", {"F"}},
      {"select 1 from T where A = :A or B = :a",
       "select 1 from T where A = ? or B = ?",
       {"A", "A"}},
      {"select a:b from T", "select a:b from T", {}},
  };
  for (const Case& c : cases) {
    const db::ParsedSql p = db::parseNamedParams(QString::fromUtf8(c.sql));
    EXPECT_EQ(p.text, QString::fromUtf8(c.text)) << c.sql;
    EXPECT_EQ(p.names, c.names) << c.sql;
  }
}

}  // namespace
