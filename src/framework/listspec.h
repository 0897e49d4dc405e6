#pragma once

#include "framework/fieldspec.h"
#include "framework/querymodel.h"
#include "framework/refparams.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct FrameworkContext;
class RecordEditor;
class QWidget;
namespace db {
class Transaction;
}

// The description of one reference book or journal: what its list shows and how its editor
// writes. A list without behaviour of its own is this description and nothing else.
struct ListSpec : TEdRefParams {
  ListSpec() {
    NameField = QStringLiteral("NAME");
    SelectList = QStringLiteral("*");
  }

  QString windowName;  // section of the settings file, e.g. "fmLsAvm"
  QString caption;     // of the list window
  // The fields it shares with TEdRefParams are what its editor gets (Rights is set at Execute).
  QString WherePrefix;  // ends in " AND " when set, e.g. "DISMISS=0 AND "
  int NameColumn = 0;

  // The list's own query; empty: generated from the fields above. A text of four lines (select,
  // from, where, order by) takes the conditions of Find and Filter on its third line.
  QStringList listSql;
  // Grid columns; empty: the name alone, titled "Наименование".
  QList<QueryColumn> columns;
  // Fields of the plain editor below the name.
  QList<FieldSpec> editorFields;
  // An editor of its own instead of the plain one.
  std::function<std::unique_ptr<RecordEditor>(FrameworkContext&, QWidget* parent)> editor;
  // Runs after a row is deleted, before the commit, in the same transaction.
  std::function<void(db::Transaction&, int key)> afterDelete;
};
