#!/usr/bin/env bash
# Renders PNGs of the main window after a crawl of the bundled example site, of
# both search dialogs and of the Tools dialogs, on Qt's offscreen platform (no display needed).
#   scripts/screenshots.sh [OUTDIR]   (default: docs/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/screenshots}")
drive=$root/build/release/gui/tarnwick-drive
[ -x "$drive" ] || "$root/scripts/build.sh" release
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/examples/site" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done
# From a scratch folder: the crawl leaves its currentlinks.txt where it runs.
scratch=$(mktemp -d)
(cd "$scratch" && QT_QPA_PLATFORM=offscreen "$drive" shots "$out" "http://127.0.0.1:$port/index.htm")
rm -rf "$scratch"
ls "$out"/*.png
