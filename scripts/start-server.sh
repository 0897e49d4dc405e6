#!/usr/bin/env bash
# Installs and starts the Firebird server on this machine for the tests: sets a SYSDBA password
# of its own (kept in build/sysdba.password) unless one was set before, and waits for the port.
source "$(dirname "$0")/setup.sh"
install_packages firebird3.0-server
password_file="$VEDOMIR_ROOT/build/sysdba.password"
mkdir -p "$VEDOMIR_ROOT/build"

if [ ! -s "$password_file" ]; then
  password="$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')"
  # The security database can be changed in-process only while the server is down.
  $SUDO service firebird3.0 stop >/dev/null 2>&1 || true
  echo "create or alter user SYSDBA password '$password' using plugin Srp; commit;" |
    $SUDO isql-fb -q -user SYSDBA /var/lib/firebird/3.0/system/security3.fdb
  echo "$password" > "$password_file"
fi
$SUDO service firebird3.0 start >/dev/null 2>&1 || $SUDO service firebird3.0 restart
for _ in $(seq 1 50); do
  if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then exit 0; fi
  sleep 0.2
done
echo "Сервер Firebird не отвечает на порту 3050." >&2
exit 1
