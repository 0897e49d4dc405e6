#pragma once

#include <QList>
#include <QPair>
#include <QString>

// One field of a record editor, described rather than laid out by hand: the editor builds the
// box and binds it to the column.
struct FieldSpec {
  enum Kind {
    Text,     // a line of text, at most the column's length
    Memo,     // several lines of text
    Integer,  // whole numbers
    Number,   // numbers with decimals, typed with a comma or a point
    Date,     // dd.mm.yyyy
    Check,    // a switch stored as 0 / 1
    Choice,   // one of fixed values, shown by their names
    Lookup,   // a key of another table, shown by its name (a lookup box)
  };

  QString field;  // column of the record
  QString label;  // caption in front of the box
  Kind kind = Text;
  bool readOnly = false;
  int width = 0;      // characters; 0 lets the layout decide
  int decimals = -1;  // Number: decimals shown (e.g. the configured DecPl); -1 as stored

  // Choice: value and name of each entry.
  QList<QPair<int, QString>> choices;

  // Lookup: the list the names come from and the picker that opens it.
  QString lookupSql;       // e.g. "SELECT * from AVSUBDIV where DISMISS=0"
  QString lookupKeyField;  // e.g. "SUBDIV"
  QString lookupNameField = QStringLiteral("NAME");
  QString lookupTable;        // for the search: e.g. "AVSUBDIV"
  QString lookupCondition;    // extra condition of the search, e.g. "DISMISS=0"
  QString picker;             // registered picker name, e.g. "PickSubdivision"
  int pickerRights = 15;      // rights the picker's list is opened with
  QString lookupSearchField;  // column searched when it differs from the shown one

  static FieldSpec text(QString field, QString label, int width = 0) {
    FieldSpec f;
    f.field = std::move(field);
    f.label = std::move(label);
    f.width = width;
    return f;
  }
  static FieldSpec of(Kind kind, QString field, QString label) {
    FieldSpec f;
    f.kind = kind;
    f.field = std::move(field);
    f.label = std::move(label);
    return f;
  }
};
