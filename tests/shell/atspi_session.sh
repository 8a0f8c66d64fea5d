#!/usr/bin/env bash
# Runs a command in a desktop of its own that a screen reader could use: a
# virtual display, a session bus, and the accessibility bus started (and its
# name claimed) before the command, which a Qt program asks for as it starts.
#   atspi_session.sh COMMAND [ARGUMENT...]
set -euo pipefail

if [[ -z ${ORVALIS_ATSPI_SESSION:-} ]]; then
  # Xvfb takes a free display itself and says which once it is ready
  # (-displayfd): two sessions started at once never share one, as two
  # guesses of xvfb-run -a can, the second program then losing its display
  # when the first session ends.
  said=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$said" 2>/dev/null &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$said"' EXIT
  for _ in $(seq 100); do
    [[ $(cat "$said") == *[0-9] ]] && break
    sleep 0.1
  done
  DISPLAY=:$(cat "$said") dbus-run-session -- env ORVALIS_ATSPI_SESSION=1 bash "$0" "$@"
  exit
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
