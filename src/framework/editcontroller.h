#pragma once

#include "framework/context.h"
#include "framework/editrecord.h"
#include "framework/refparams.h"
#include "platform/query.h"

#include <functional>
#include <memory>

// The save and cancel protocol of every record editor, without the window: the record query
// built from the list's parameters, new keys from the table's key procedure, the write with the
// list's statements, the retaining commit, the messages.
class EditController {
 public:
  enum class SaveResult { Saved, NothingToSave, Refused, Failed };

  explicit EditController(FrameworkContext& ctx);
  ~EditController();

  // A window opened from a list works in the list's transaction, others in the shared one.
  void setUseListTransaction(bool on) { useList_ = on; }
  db::Transaction& transaction() const;

  // Opens the record of key (0 or a key without a row: a new record).
  void open(const TEdRefParams& params, int key);
  const TEdRefParams& params() const { return params_; }
  // The window's caption: the editor caption and " Ввод новой записи." or " Редактирование.".
  QString caption() const;

  EditRecord& record() { return record_; }
  const EditRecord& record() const { return record_; }
  bool saved() const { return saved_; }
  // The key of the record as saved (or as opened); invalid when there is none.
  QVariant savedKey() const;

  // Checks run before writing: return false to stop the save (after showing why).
  std::function<bool()> beforeSave;
  // Runs after the row is written, before the commit, in the same transaction.
  std::function<void(EditController&)> afterSave;
  // The check every record editor has unless it replaces it: a name is required.
  bool requireName();

  SaveResult save();
  void cancel();

  bool canSave() const { return record_.modified(); }
  bool canExit() const { return !record_.modified(); }

  // The statements of the record query, for tests and editors with extra work.
  db::Query& qryRec() { return *qryRec_; }

 private:
  FrameworkContext& ctx_;
  bool useList_ = false;
  TEdRefParams params_;
  std::unique_ptr<db::Query> qryRec_;
  EditRecord record_;
  bool saved_ = false;
};
