#pragma once

#include "app/rights.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TDM;

// "Добавление/редактирование пользователя": one row of USERS. The checks and the save are the
// UserStore's, on the data module's shared transaction; the window only carries the fields.
class TfmUsrEdit : public QDialog {
  Q_OBJECT
 public:
  // key 0 adds a user. Reads the row when editing; throws db::DbError when that fails.
  TfmUsrEdit(TDM& dm, int key, QWidget* parent = nullptr);

  // The key of the saved user: the given key when editing, the new one after an add, 0 while
  // an add is not saved.
  int savedKey() const { return savedKey_; }
  UserEntry entry() const;

  QLineEdit* nameEdit() const { return edName_; }
  QLineEdit* passwordEdit() const { return edPassword_; }
  QLineEdit* confirmationEdit() const { return edConfirmation_; }
  QGroupBox* kindBox() const { return gbKind_; }
  QButtonGroup* kindGroup() const { return kind_; }
  QPlainTextEdit* commentEdit() const { return meDef_; }
  QPushButton* saveButton() const { return btSave_; }
  QPushButton* cancelButton() const { return btCancel_; }

  // "Сохранить": a refused check or a failed save shows its message and keeps the window open
  // with what was typed.
  void save();

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  UserStore store_;
  int key_;
  int savedKey_;
  QLineEdit* edName_;
  QLineEdit* edPassword_;
  QLineEdit* edConfirmation_;
  QGroupBox* gbKind_;
  QButtonGroup* kind_;
  QPlainTextEdit* meDef_;
  QPushButton* btSave_;
  QPushButton* btCancel_;
};

// Opens the editor for the key (0: a new user) and returns the saved user's key: the given key
// when editing, the new key after an add, 0 when an add was cancelled. An error while opening
// is shown with its own text.
int EditUser(TDM& dm, int key, QWidget* parent = nullptr);
