#!/usr/bin/env bash
# Builds Ведомир and runs every test: all of them against the embedded engine, then the data
# layer's once more against a Firebird server on localhost, as several workstations use it.
source "$(dirname "$0")/scripts/setup.sh"
install_packages "${VEDOMIR_PACKAGES[@]}"
build_vedomir
cd "$VEDOMIR_ROOT/build"
ctest --output-on-failure -j "$(nproc)"

if [ "${VEDOMIR_SKIP_SERVER_TESTS:-}" = 1 ]; then
  echo "Проверка через сервер пропущена (VEDOMIR_SKIP_SERVER_TESTS=1)."
  exit 0
fi
"$VEDOMIR_ROOT/scripts/start-server.sh"
VEDOMIR_TEST_SERVER=localhost VEDOMIR_TEST_USER=SYSDBA \
  VEDOMIR_TEST_PASSWORD="$(cat "$VEDOMIR_ROOT/build/sysdba.password")" \
  "$VEDOMIR_ROOT/build/tests/platform/test_platform"
