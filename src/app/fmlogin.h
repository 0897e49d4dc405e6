#pragma once

#include "app/login.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTabWidget;
class IniFile;
struct TBsp;

// The login window: who is entering, and on its second page which database and how the waybill
// editor shows numbers. Reads its settings when created and writes them back when closed.
class TfmLogin : public QDialog {
  Q_OBJECT
 public:
  // commandLinePath: a database path from the command line, used for this run (and saved).
  TfmLogin(IniFile& ini, TBsp& bsp, const QString& commandLinePath = {}, QWidget* parent = nullptr);

  LoginEntry entry() const;
  QLineEdit* nameEdit() const { return edName_; }
  QLineEdit* passwordEdit() const { return edPassword_; }
  QLineEdit* dbPathEdit() const { return edDbPath_; }
  QTabWidget* pages() const { return pages_; }

  // Stands in for the file dialog in tests: returns the chosen file or an empty string.
  using FilePicker = std::function<QString(const QString& current, const QStringList& filters)>;
  void setFilePicker(FilePicker picker) { pickFile_ = std::move(picker); }
  using BaseChooser = std::function<QString()>;
  void setBaseChooser(BaseChooser chooser) { chooseBase_ = std::move(chooser); }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void pickPath(QLineEdit* edit, QString TBsp::*field, const QStringList& filters);
  void takeBase();

  IniFile& ini_;
  TBsp& bsp_;
  QTabWidget* pages_;
  QLineEdit* edName_;
  QLineEdit* edPassword_;
  QLineEdit* edDbPath_;
  QLineEdit* edGrz_;
  QLineEdit* edLnvj_;
  QLineEdit* edVrj_;
  QComboBox* cbFontSize_;
  QComboBox* cbDecimals_;
  FilePicker pickFile_;
  BaseChooser chooseBase_;
};

// "Выбор базы": the alternative databases of the settings file. Returns the picked path or an
// empty string.
class TfmGetBase : public QDialog {
  Q_OBJECT
 public:
  TfmGetBase(const QStringList& paths, QWidget* parent = nullptr);
  QString picked() const { return picked_; }
  class QListWidget* list() const {
    return list_;
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void pick();
  class QListWidget* list_;
  QString picked_;
};

QString ChooseBase(const IniFile& ini, QWidget* parent = nullptr);
