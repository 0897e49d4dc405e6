#pragma once

#include <QString>

#include <exception>
#include <string>

namespace db {

// An error of the database layer. It carries what the engine said so that the window that
// started the work can show it, and so that callers can tell a lock conflict from the rest.
class DbError : public std::exception {
 public:
  explicit DbError(QString message, int sqlCode = 0, long engineCode = 0,
                   bool lockConflict = false);

  const QString& message() const { return message_; }
  int sqlCode() const { return sqlCode_; }
  // The first error code of the engine's status vector (isc_...), 0 when not from the engine.
  long engineCode() const { return engineCode_; }
  // Another connection holds the row (a nowait transaction met an uncommitted change).
  bool isLockConflict() const { return lockConflict_; }

  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  QString message_;
  int sqlCode_;
  long engineCode_;
  bool lockConflict_;
  std::string utf8_;
};

// Text that cannot be written in the database's code page. Raised before anything is sent.
class EncodingError : public DbError {
 public:
  EncodingError(const QString& character, const QString& codePage);
  const QString& character() const { return character_; }

 private:
  QString character_;
};

}  // namespace db
