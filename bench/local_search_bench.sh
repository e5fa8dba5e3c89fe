#!/usr/bin/env bash
# Local search throughput and peak memory on the generated ~200 MB corpus,
# beside two peers in the same run: cat (the read limit) and ripgrep on one
# thread extracting the same kinds of text.
#   bench/local_search_bench.sh [CORPUS_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/tarnwick-corpus}
runs=${2:-3}
cli=$root/build/release/cli/tarnwick-cli
shared=${TARNWICK_SHARED:-$root/../shared}

[ -x "$cli" ] || { echo "build the release preset first" >&2; exit 1; }
if [ ! -d "$corpus/files" ]; then
  python3 "$shared/bench/make_site.py" corpus "$corpus" >/dev/null
fi
files=$corpus/files
bytes=$(cat "$files"/* | wc -c)
keywords='ultramarine harbour cobalt'
stats=$(mktemp)
trap 'rm -f "$stats"' EXIT

# Median wall time, median CPU time (user + system: less disturbed by other
# load on a shared machine) and the largest peak resident size over the runs.
measure() {
  local name=$1; shift
  local walls=() cpus=() peak=0
  for _ in $(seq "$runs"); do
    /usr/bin/time -o "$stats" -f '%e %U %S %M' "$@" >/dev/null 2>/dev/null
    read -r wall user sys kb < <(tail -1 "$stats")
    walls+=("$wall")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
    (( kb > peak )) && peak=$kb
  done
  local mid=$(( (runs + 1) / 2 ))
  local wall cpu
  wall=$(printf '%s\n' "${walls[@]}" | sort -g | sed -n "${mid}p")
  cpu=$(printf '%s\n' "${cpus[@]}" | sort -g | sed -n "${mid}p")
  awk -v n="$name" -v t="$wall" -v c="$cpu" -v b="$bytes" -v m="$peak" \
    'BEGIN { printf "%-20s wall %6.2f s %6.0f MB/s   cpu %6.2f s %6.0f MB/s   peak %6.1f MB\n",
             n, t, b / t / 1e6, c, b / c / 1e6, m / 1024 }'
}

cat "$files"/* >/dev/null  # warm the page cache
echo "corpus: $bytes bytes in $(ls "$files" | wc -l) files; median of $runs runs"
measure cat cat "$files"/*
measure "ripgrep -j1 (1 kw)" rg -j1 -o --no-filename -e 'href="[^"]*"' -e 'src="[^"]*"' -e 'mailto:[^"]*' \
  -e '.{0,50}ultramarine.{0,50}' "$files"
measure "ripgrep -j1 (3 kw)" rg -j1 -o --no-filename -e 'href="[^"]*"' -e 'src="[^"]*"' -e 'mailto:[^"]*' \
  -e '.{0,50}ultramarine.{0,50}' -e '.{0,50}harbour.{0,50}' -e '.{0,50}cobalt.{0,50}' "$files"
measure tarnwick-cli "$cli" local "$files" --find links,images,emails,keywords --keywords "$keywords"
labels=$("$cli" local "$files" --find links,images,emails,keywords --keywords "$keywords" --tree - 2>/dev/null |
  sed -E 's/^ *[0-9] //' | wc -c)
awk -v l="$labels" 'BEGIN { printf "memory bound: 64 MB + 2 x %.1f MB of labels = %.1f MB\n", l / 1048576, 64 + 2 * l / 1048576 }'
