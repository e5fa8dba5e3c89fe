#!/usr/bin/env bash
# Tools > "Download list of links from file" in the window against
# tarnwick-cli download-list and wget -i on the same list: every page of the
# 2,000-page site, served by nginx on loopback, one after another. Prints the
# times and, for the window, the longest gap between two event-loop passes.
#   bench/download_list_bench.sh [SITE_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
site=$(realpath -m "${1:-/tmp/tarnwick-site}")
runs=${2:-3}
cli=$root/build/release/cli/tarnwick-cli
drive=$root/build/release/gui/tarnwick-drive
shared=${TARNWICK_SHARED:-$root/../shared}
serve=$shared/bench/serve.sh
[ -x "$drive" ] || { echo "build the release preset first" >&2; exit 1; }
[ -f "$site/meta/site.json" ] || python3 "$shared/bench/make_site.py" site "$site" >/dev/null
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
port=$("$serve" start "$site")
trap '"$serve" stop "$site" >/dev/null 2>&1; rm -rf "$work"' EXIT
(cd "$site/www" && find . -name '*.html' -type f | sort | sed "s|^\.|http://127.0.0.1:$port|") >"$work/list.txt"
count=$(wc -l <"$work/list.txt")

seconds() {  # wall seconds of a command
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  t1=$(date +%s%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
fresh() { rm -rf "$work/out"; mkdir "$work/out"; }

for run in $(seq "$runs"); do
  fresh; c=$(seconds "$cli" download-list "$work/list.txt" -d "$work/out")
  fresh; w=$("$drive" download-list "$work/list.txt" "$work/out" 2>/dev/null)
  fresh; g=$(seconds wget -q -nd -P "$work/out" -i "$work/list.txt")
  ws=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$w")
  gap=$(sed -n 's/.*max_gap_ms=\([0-9.]*\).*/\1/p' <<<"$w")
  files=$(sed -n "s/.*files=\([0-9]*\).*/\1/p" <<<"$w")
  printf 'run %d, %d addresses: cli %6.3f s  window %6.3f s  wget %6.3f s  window max gap %5.1f ms  (%s files)\n' \
    "$run" "$count" "$c" "$ws" "$g" "$gap" "$files"
done
