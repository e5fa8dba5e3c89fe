#!/usr/bin/env bash
# The desktop window against the command line on the same work, in one run:
# a local search of the ~200 MB corpus and a level-4 crawl of the 2,000-page
# site on loopback, both started from the window (offscreen, the tree shown
# with its root expanded). Prints both times, their ratio, and the longest
# gap between two event-loop passes of the window.
#   bench/window_bench.sh [CORPUS_DIR] [SITE_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$(realpath -m "${1:-/tmp/tarnwick-corpus}")
site=$(realpath -m "${2:-/tmp/tarnwick-site}")
cli=$root/build/release/cli/tarnwick-cli
drive=$root/build/release/gui/tarnwick-drive
shared=${TARNWICK_SHARED:-$root/../shared}
serve=$shared/bench/serve.sh
[ -x "$drive" ] || { echo "build the release preset first" >&2; exit 1; }
[ -d "$corpus/files" ] || python3 "$shared/bench/make_site.py" corpus "$corpus" >/dev/null
[ -f "$site/meta/site.json" ] || python3 "$shared/bench/make_site.py" site "$site" >/dev/null
export QT_QPA_PLATFORM=offscreen

seconds() {  # wall seconds of a command
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  t1=$(date +%s%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}

report() {  # name cli_seconds window_line
  local w gap
  w=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$3")
  gap=$(sed -n 's/.*max_gap_ms=\([0-9.]*\).*/\1/p' <<<"$3")
  printf '%-28s cli %7.3f s  window %7.3f s  ratio %5.2f  max gap %6.1f ms\n' \
    "$1" "$2" "$w" "$(awk -v w="$w" -v c="$2" 'BEGIN { printf "%.2f", w / c }')" "$gap"
}

files=$corpus/files
cli_local=$(seconds "$cli" local "$files" --find links,images,emails,keywords --keywords ultramarine --tree /dev/null)
win_local=$("$drive" local "$files" 2>/dev/null)
report "local search (corpus)" "$cli_local" "$win_local"

port=$("$serve" start "$site")
trap '"$serve" stop "$site" >/dev/null 2>&1' EXIT
url=http://127.0.0.1:$port/
cli_crawl=$(seconds "$cli" crawl "$url" --levels 4 --find links,images,emails,keywords --keywords ultramarine --ignore-case --tree /dev/null)
win_crawl=$("$drive" crawl "$url" 4 2>/dev/null)
report "crawl --levels 4 (site)" "$cli_crawl" "$win_crawl"
