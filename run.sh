#!/usr/bin/env bash
# Builds Ведомир and starts it, at the first start on a new demo database in the user's data
# folder; the administrator enters as IUC_CKGQBW with the password mirtbox.
source "$(dirname "$0")/scripts/setup.sh"
install_packages "${VEDOMIR_PACKAGES[@]}"
build_vedomir
# The first start gets a demo motor pool to work with, in the user's data folder; the program
# finds it there. A database chosen in the settings file is not touched.
demo_db="${XDG_DATA_HOME:-$HOME/.local/share}/vedomir/vedomir.fdb"
if [ $# -eq 0 ] && [ ! -e "$demo_db" ]; then
  mkdir -p "$(dirname "$demo_db")"
  "$VEDOMIR_ROOT/build/vedomir" --demo "$demo_db"
fi
exec "$VEDOMIR_ROOT/build/vedomir" "$@"
