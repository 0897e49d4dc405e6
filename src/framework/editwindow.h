#pragma once

#include "framework/abstrform.h"
#include "framework/editcontroller.h"
#include "framework/fieldspec.h"

#include <QList>

class QFormLayout;
class QLabel;
class QLineEdit;
class QWidget;
class FieldBinding;

// What a list requires of its editor: show a record modally, then tell the key saved.
class RecordEditor {
 public:
  virtual ~RecordEditor() = default;
  // The record of key (0: a new one); returns the modal result (1 saved, 2 otherwise).
  virtual int Execute(const TEdRefParams& params, int key) = 0;
  // The key of the record saved during the last Execute; invalid when nothing was saved.
  virtual QVariant savedKey() const = 0;
  // An editor opened from a list works in the list's transaction.
  virtual void setOwnerList(bool owned) = 0;
};

// The plain base of edit windows: the status bar and the client panel of TfmAbstrForm.
class TfmAbstrEdForm : public TfmAbstrForm {
  Q_OBJECT
 public:
  TfmAbstrEdForm(FrameworkContext& ctx, const QString& name, QWidget* parent = nullptr);

 protected:
  FrameworkContext& ctx_;
};

// The record editor: a name box and the described fields bound to one record, Save (Ctrl+S),
// Cancel (Ctrl+Z), the question on closing with changes, Enter to the next field.
class TfmAbstrEdRef : public TfmAbstrEdForm, public RecordEditor {
  Q_OBJECT
 public:
  TfmAbstrEdRef(FrameworkContext& ctx, const QString& name = QStringLiteral("fmEdRef"),
                QWidget* parent = nullptr);
  ~TfmAbstrEdRef() override;

  // Adds a described field below the name (or wherever the layout has room).
  QWidget* addField(const FieldSpec& spec);

  int Execute(const TEdRefParams& params, int key) override;
  QVariant savedKey() const override { return controller_.savedKey(); }
  void setOwnerList(bool owned) override { controller_.setUseListTransaction(owned); }

  EditController& controller() { return controller_; }
  QLineEdit* nameEdit() const { return dbeName_; }
  QLabel* nameLabel() const { return lblName_; }
  QAction* postAction() const { return postAction_; }
  QAction* cancelAction() const { return cancelAction_; }
  QWidget* fieldWidget(const QString& field) const;

  // Save: what was typed into the boxes first, then the checks, then the write. True when
  // saved (or nothing to save).
  bool Save();
  void Cancel();
  void done(int result) override;

 protected:
  virtual void BindNameField(const TEdRefParams& params);
  // Checks before writing; false stops the save (after saying why). The base needs a name.
  virtual bool BeforeSave();
  // After the row is written, before the commit, in the same transaction.
  virtual void AfterSave() {}
  virtual void SetWithRights();
  // Shows the record's values in every box.
  void showRecord();
  bool eventFilter(QObject* watched, QEvent* e) override;
  QFormLayout* form() const { return form_; }

 private:
  bool applyAll();

  EditController controller_;
  QFormLayout* form_;
  QLabel* lblName_;
  QLineEdit* dbeName_;
  QAction* postAction_;
  QAction* cancelAction_;
  QList<FieldBinding*> bindings_;
  FieldBinding* nameBinding_ = nullptr;
  bool typing_ = false;  // text typed into a box and not yet taken into the record
};

// The editor of vehicle types: the name and the print form of their waybills.
class TfmAbstrEdRefTypAvt : public TfmAbstrEdRef {
  Q_OBJECT
 public:
  explicit TfmAbstrEdRefTypAvt(FrameworkContext& ctx, QWidget* parent = nullptr);
  // The print forms by code (TPL), in order.
  static const QList<QPair<int, QString>>& printForms();
};
