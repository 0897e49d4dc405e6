#pragma once

#include <QString>

// Rights mask of list windows.
namespace rights {
constexpr int kView = 1;
constexpr int kAdd = 2;
constexpr int kEdit = 4;
constexpr int kDelete = 8;
constexpr int kAll = kView | kAdd | kEdit | kDelete;
}  // namespace rights

// What a list hands to its edit window.
struct TEdRefParams {
  int Rights = 0;
  QString TableName;
  QString KeyField;
  QString ExtraClause;
  QString SelectList;
  QString NameField;
  QString EditorCaption;
  QString NameLabel;
  QString InsertSql;
  QString ModifySql;
  QString DeleteSql;
  QString RefreshSql;
  QString KeyProcName;
};
