#!/usr/bin/env bash
# Inside atspi_session.sh: the program on a copy of the demo bank, with its
# accessibility on, and the AT-SPI client that drives it (atspi_names.py).
#   atspi_names.sh ORVALIS_PROGRAM DEMO_BANK_FOLDER
set -euo pipefail

program=$(realpath "$1")
bank=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)

folder=$(mktemp -d)
orvalis=
cleanup() {
  [[ -n $orvalis ]] && kill "$orvalis" 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

cp "$bank"/*.DAT "$folder"/
(cd "$folder" && QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$program" "$folder") &
orvalis=$!
/usr/bin/python3 "$here/atspi_names.py" "$orvalis"
