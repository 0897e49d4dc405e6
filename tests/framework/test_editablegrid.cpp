#include "framework/editablegrid.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/query.h"
#include "support/frameworkfixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EditableGridTest : public testsupport::FrameworkFixture {
 protected:
  void norms() {
    db::Query q(base_.db(), &base_.tr());
    q.setSql("insert into AVDOPNORM (DNORM, CAR, LIT, N) values (:DNORM, 1, :LIT, :N)");
    const struct {
      int key;
      double lit;
      const char* name;
    } rows[] = {{1, 1.5, "Отопитель"}, {2, 2, "Насос"}};
    for (const auto& r : rows) {
      q.param("DNORM").setInt(r.key);
      q.param("LIT").setDouble(r.lit);
      q.param("N").setString(QString::fromUtf8(r.name));
      q.exec();
    }
    base_.tr().commit();
  }
  QVariant stored(int key, const char* field) {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql(QStringLiteral("select %1 from AVDOPNORM where DNORM = %2")
                 .arg(QString::fromLatin1(field))
                 .arg(key));
    q.open();
    return q.field(0).asVariant();
  }
};

TEST_F(EditableGridTest, RowsFromAQueryEnterPostsTheEditedRow) {
  norms();
  EditableModel model({EditableColumn::integer("DNORM", "Код"),
                       EditableColumn::text("N", "Наименование", true),
                       EditableColumn::number("LIT", "Норма л/час", 1, true)});
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  db::Query rows(base_.db(), &trList_);
  rows.setSql("select DNORM, CAR, N, LIT from AVDOPNORM order by DNORM");
  model.load(rows);
  db::Query update(base_.db(), &trList_);
  update.setSql("update AVDOPNORM set N = :N, LIT = :LIT where DNORM = :OLD_DNORM and CAR = :CAR");
  int posted = 0;
  const RowPoster statement = postWithStatement(update);
  model.setPoster([&](EditableRow& row) {
    ++posted;
    return statement(row);
  });

  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.index(0, 1).data().toString(), "Отопитель");
  EXPECT_EQ(model.index(0, 2).data().toString(), "1,5");
  EXPECT_EQ(model.index(1, 2).data(Qt::EditRole).toString(), "2");
  EXPECT_EQ(model.value(0, "CAR").toInt(), 1);  // fields not shown are kept too
  EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);

  EditableGrid grid;
  grid.setEditableModel(&model);
  grid.show();
  grid.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));

  // Typed into a cell and Enter: the row goes to the database as typed, shown rounded.
  grid.setCurrentIndex(model.index(0, 2));
  grid.edit(model.index(0, 2));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->setText("2,25");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the delegate hands the text over through the queue
  EXPECT_EQ(posted, 1);
  EXPECT_FALSE(model.hasChanges());
  EXPECT_EQ(model.index(0, 2).data().toString(), "2,3");
  EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), "");
  trList_.commit();
  EXPECT_DOUBLE_EQ(stored(1, "LIT").toDouble(), 2.25);
  EXPECT_EQ(stored(1, "N").toString(), "Отопитель");

  // Text that is not a number leaves the cell as it was.
  EXPECT_FALSE(model.setData(model.index(1, 2), "два"));
  EXPECT_EQ(messages_.texts(), QStringList{"\"два\" не является числом."});
  EXPECT_FALSE(model.isChanged(1));

  // A change waits while the cursor stays in its row, and is posted when it leaves the row.
  ASSERT_TRUE(model.setData(model.index(1, 1), "Насос ручной"));
  EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), "*");
  grid.setCurrentIndex(model.index(1, 2));
  EXPECT_EQ(posted, 1);
  grid.setCurrentIndex(model.index(0, 1));
  EXPECT_EQ(posted, 2);
  trList_.commit();
  EXPECT_EQ(stored(2, "N").toString(), "Насос ручной");

  // Esc gives a changed row back what was read; unchanged rows are not posted again.
  ASSERT_TRUE(model.setData(model.index(0, 1), "Отопитель салона"));
  QTest::keyClick(&grid, Qt::Key_Escape);
  EXPECT_EQ(model.index(0, 1).data().toString(), "Отопитель");
  EXPECT_TRUE(grid.postAll());
  EXPECT_EQ(posted, 2);
}

TEST_F(EditableGridTest, RefusedOrFailedPostsKeepTheRowChanged) {
  EditableModel model({EditableColumn::text("N", "Наименование", true),
                       EditableColumn::number("LIT", "Норма", 2, true),
                       EditableColumn::date("DT", "Дата", true),
                       EditableColumn::check("ON", "Вкл.", true)});
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  model.appendRow({{"N", "Кран"}, {"LIT", 1.5}, {"DT", QDate(2024, 5, 1)}, {"ON", 0}});
  EXPECT_EQ(model.index(0, 1).data().toString(), "1,50");
  EXPECT_EQ(model.index(0, 2).data().toString(), "01.05.2024");
  EXPECT_EQ(model.index(0, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

  struct Case {
    const char* what;
    std::function<bool(EditableRow&)> poster;
    bool kept;
    QStringList messages;
  };
  const Case cases[] = {
      {"refused", [](EditableRow&) { return false; }, false, {}},
      {"failed",
       [](EditableRow&) -> bool { throw db::DbError("lock conflict on no wait transaction"); },
       false,
       {"Ошибка сохранения данных.\nlock conflict on no wait transaction"}},
      {"written",
       [](EditableRow& row) {
         // What the post computes is shown afterwards.
         row.setValue("LIT", QVariant::fromValue(row.decimal("LIT") + Decimal4::fromInt(1)));
         return true;
       },
       true,
       {}},
  };
  EditableGrid grid;
  grid.setEditableModel(&model);
  for (const Case& c : cases) {
    messages_.messages.clear();
    ASSERT_TRUE(model.setData(model.index(0, 1), "2,125")) << c.what;
    ASSERT_TRUE(model.setData(model.index(0, 2), "02.05.2024")) << c.what;
    ASSERT_TRUE(model.setData(model.index(0, 3), Qt::Checked, Qt::CheckStateRole)) << c.what;
    model.setPoster(c.poster);
    EXPECT_EQ(grid.postAll(), c.kept) << c.what;
    EXPECT_EQ(model.isChanged(0), !c.kept) << c.what;
    EXPECT_EQ(messages_.texts(), c.messages) << c.what;
  }
  EXPECT_EQ(model.value(0, "LIT").value<Decimal4>(), *Decimal4::parse(QStringLiteral("3.125")));
  EXPECT_EQ(model.value(0, "DT").toDate(), QDate(2024, 5, 2));
  EXPECT_EQ(model.value(0, "ON").toInt(), 1);
}

}  // namespace
