#pragma once

#include "framework/fieldspec.h"
#include "framework/lookup.h"

#include <QComboBox>
#include <QObject>

struct FrameworkContext;
class EditRecord;
class QToolButton;

// A reference shown by its name: an editable drop-down of names with a picker button. Keys stay
// with their names; typed text that matches no name is searched for on Enter and otherwise
// gives the previous choice back.
class LookupBox : public QWidget {
  Q_OBJECT
 public:
  LookupBox(FrameworkContext& ctx, const FieldSpec& spec, QWidget* parent = nullptr);

  // Fills the entries from the box's list and selects the key.
  void fill(int key);
  int key() const;
  QComboBox* combo() const { return combo_; }
  QToolButton* button() const { return button_; }
  const QList<LookupItem>& items() const { return items_; }
  // Searches the list for the typed text (typed on the Latin layout: as on the Russian one).
  void search(const QString& typed);
  // Opens the picker; true when a row was chosen.
  bool pick();
  // Selects the key remembered on entering the box.
  void restore();

 signals:
  // The chosen key changed by a choice of the person (not by fill()).
  void keyChosen(int key);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void setItems(QList<LookupItem> items, int select);
  void settle();

  FrameworkContext& ctx_;
  FieldSpec spec_;
  QComboBox* combo_;
  QToolButton* button_;
  QList<LookupItem> items_;
  int entered_ = 0;  // the key when the person came into the box
};

// One box of an editor bound to one column of the record.
class FieldBinding : public QObject {
  Q_OBJECT
 public:
  FieldBinding(FrameworkContext& ctx, const FieldSpec& spec, EditRecord& record, QWidget* parent);

  const FieldSpec& spec() const { return spec_; }
  QWidget* widget() const { return widget_; }
  // Shows the record's value.
  void show();
  // Writes the box's value into the record when it differs. False when the text does not fit
  // the column: the reason has been shown and the box keeps the focus.
  bool apply();

 signals:
  void changed();
  // The person typed into the box; the value reaches the record when the box is left.
  void edited();

 private:
  FrameworkContext& ctx_;
  FieldSpec spec_;
  EditRecord& record_;
  QWidget* widget_ = nullptr;
  bool showing_ = false;
  // What a check box or a choice showed for the record: only a change by the person is written,
  // so an untouched box never turns a null into 0.
  QVariant shown_;
};
