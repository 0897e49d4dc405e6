#pragma once

#include "framework/listwindow.h"

#include <functional>
#include <optional>

// The construction objects: listed by code, filtered by code, and loaded as a whole from the
// file of the sibling general-ledger system ("Загрузка из ГРЗ", F2).
class TfmLsObj : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  explicit TfmLsObj(FrameworkContext& ctx, QWidget* parent = nullptr);

  // The file to load; empty when the person chose none. An open dialog unless replaced (tests).
  std::function<QString(QWidget* parent)> chooseFile;

  // The typed text of the filter as a code; nullopt when it is not a whole number.
  static std::optional<int> codeOf(const QString& typed);

  QAction* importAction_ = nullptr;
  bool codeFilterOn() const { return codeFilter_; }

  void loadFromFile();
  // Filter on (asks the code) or off.
  void filterByCode();

 private:
  void reopen(const QVariant& key);
  bool codeFilter_ = false;
  int code_ = 0;
  TfmAbstrFndRef* codeDialog_ = nullptr;
};
