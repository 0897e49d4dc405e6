#pragma once

#include <QMainWindow>

class QLabel;
class TDM;
struct TBsp;
struct TUser;

// The main window. Closing it ends the program.
class TfmAvtMain : public QMainWindow {
  Q_OBJECT
 public:
  TfmAvtMain(TDM& dm, TBsp& bsp, TUser& user, QWidget* parent = nullptr);

 private:
  TDM& dm_;
  TBsp& bsp_;
  TUser& user_;
};
