#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Tarnwick desktop program.
# Without a display it says how to run it anyway.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
program=build/release/gui/tarnwick
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Start it on a desktop, or for example:" >&2
  echo "  QT_QPA_PLATFORM=vnc $program   (then connect a VNC viewer to port 5900)" >&2
  echo "The same work from a terminal: build/release/cli/tarnwick-cli --help" >&2
  exit 1
fi
exec "$program" "$@"
