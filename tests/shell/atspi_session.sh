#!/usr/bin/env bash
# Runs a command in a desktop of its own that a screen reader could use: a
# virtual display, a session bus, and the accessibility bus started (and its
# name claimed) before the command, which a Qt program asks for as it starts.
#   atspi_session.sh COMMAND [ARGUMENT...]
set -euo pipefail

if [[ -z ${ORVALIS_ATSPI_SESSION:-} ]]; then
  exec xvfb-run -a dbus-run-session -- env ORVALIS_ATSPI_SESSION=1 bash "$0" "$@"
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true && break
  sleep 0.1
done
"$@"
