#pragma once

#include "framework/context.h"

#include <QString>

// The person logged in: a row of the program's own users table (not a database account).
struct TUser {
  int usr = 0;   // key; 0 for a database older than the users table
  QString def;   // description (full name, post)
  QString name;  // login name in upper case, as typed
  int typ = 0;   // 0: full rights and administration; any other value: restricted

  bool isAdministrator() const { return typ == 0; }
};

// The user a framework window was opened for (only key and kind travel with the window).
inline TUser userOf(const FrameworkContext& ctx) {
  TUser u;
  u.usr = ctx.userKey;
  u.typ = ctx.userKind;
  return u;
}
