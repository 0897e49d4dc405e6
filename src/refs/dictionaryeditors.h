#pragma once

#include "framework/editwindow.h"
#include "framework/fieldspec.h"

#include <QList>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;

// A record editor made of described fields only, under a window name of its own (its position
// is kept in the settings file under that name).
std::function<std::unique_ptr<RecordEditor>(FrameworkContext&, QWidget*)> describedEditor(
    const QString& windowName, QList<FieldSpec> fields);

// The client: the zero time and zero kilometres counted to the client on departure and return
// (the client-service lines start from them), the address, and whether the client is a part of
// the enterprise. The switch is written as 0 or 1 with every change of the record, never left
// empty.
class TfmEdAclient : public TfmAbstrEdRef {
  Q_OBJECT
 public:
  explicit TfmEdAclient(FrameworkContext& ctx, QWidget* parent = nullptr);
  QCheckBox* internalBox() const { return dbchIntern_; }

  // The integer columns that are stored as 0 rather than empty.
  static const QStringList& zeroWhenEmpty();

 protected:
  bool BeforeSave() override;
  void showEvent(QShowEvent* e) override;

 private:
  void showInternal();
  QCheckBox* dbchIntern_;
};

// The fuel: its type, chosen from a fixed list whose position is the code, and its code in the
// sibling materials system. A type that was never chosen stays empty.
class TfmEdAfuel : public TfmAbstrEdRef {
  Q_OBJECT
 public:
  explicit TfmEdAfuel(FrameworkContext& ctx, QWidget* parent = nullptr);
  QComboBox* typeBox() const { return cbTyp_; }

  // The names of the types; the position is the code written in TYP.
  static const QStringList& fuelTypes();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void showType();
  QComboBox* cbTyp_;
};

// The route: its length and up to four sections, in a frame of their own.
class TfmEdAroute : public TfmAbstrEdRef {
  Q_OBJECT
 public:
  explicit TfmEdAroute(FrameworkContext& ctx, QWidget* parent = nullptr);
};
