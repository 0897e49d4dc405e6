#!/usr/bin/env bash
# Builds Ведомир and starts it. At the first start it offers to create its database in the
# user's data folder; the administrator enters as IUC_CKGQBW with the password mirtbox.
source "$(dirname "$0")/scripts/setup.sh"
install_packages "${VEDOMIR_PACKAGES[@]}"
build_vedomir
exec "$VEDOMIR_ROOT/build/vedomir" "$@"
