#pragma once

// Internal to the database layer: access to the client library's object API.

#include <firebird/Interface.h>

namespace db::detail {

struct Fb {
  Firebird::IMaster* master;
  Firebird::IUtil* util;
  Firebird::IProvider* provider;
};
Fb& fb();

// A status object of the client library, disposed with its owner.
class Status {
 public:
  Status() : wrapper_(fb().master->getStatus()) {}
  ~Status() { wrapper_.dispose(); }
  Status(const Status&) = delete;
  Status& operator=(const Status&) = delete;
  Firebird::ThrowStatusWrapper* operator->() { return &wrapper_; }
  Firebird::ThrowStatusWrapper* get() { return &wrapper_; }

 private:
  Firebird::ThrowStatusWrapper wrapper_;
};

// Turns the client library's exception into our DbError.
[[noreturn]] void raise(const Firebird::FbException& e);

// Runs f, converting the client library's exceptions.
template <typename F>
auto guarded(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const Firebird::FbException& e) {
    raise(e);
  }
}

constexpr unsigned kCharsetNone = 0;
constexpr unsigned kCharsetOctets = 1;
constexpr unsigned kCharsetWin1251 = 52;

}  // namespace db::detail
